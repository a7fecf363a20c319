-- The stronghold's tavern: its name tag and what building it would cost.
sName = "str_TAVERN"
iPrice = 300
sProvides = "str_PROVIDES_HEROES"
