-- The plot of the stronghold's shipyard: built, it repairs and sells ships.
sName = "str_SHIPYARD"
iPrice = 500
sProvides = "str_PROVIDES_SHIPS"
