// Ship factory.
#include "Factories/ShipFactory.h"
