#include "SingleFileSel.h"
