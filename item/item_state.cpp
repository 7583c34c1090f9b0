#include "item_state.h"

ItemState itemState;
