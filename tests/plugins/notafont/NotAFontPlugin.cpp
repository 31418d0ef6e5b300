#include "NotAFontPlugin.h"
