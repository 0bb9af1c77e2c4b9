#include "Afx.h"
