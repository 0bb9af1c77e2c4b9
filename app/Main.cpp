// The one application object of the program; the framework's entry point runs it.
#include "app/TranscodeApp.h"

CTranscodeApp theApp;
