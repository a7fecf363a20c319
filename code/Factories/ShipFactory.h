// The factory that builds ships from their scripts and configuration archives.
#pragma once

#include "util/Singleton.h"

class ShipFactory : public Singleton<ShipFactory> {
 private:
  friend class Singleton<ShipFactory>;
  ShipFactory() = default;
};
