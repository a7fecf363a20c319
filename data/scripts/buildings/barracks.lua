-- The stronghold's barracks, where heroes raise their units.
sName = "str_BASIC_UNIT_BUILDING"
iPrice = 400
sProvides = "str_PROVIDES_UNITS"
