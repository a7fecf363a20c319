-- A plot or building with nothing to offer: no name, no price.
sName = ""
