// placeholder until the module lands
