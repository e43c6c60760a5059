#include "editrules.h"
