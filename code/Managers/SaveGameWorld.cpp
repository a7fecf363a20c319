// Emptying the world before a saved state is read into it.
#include "Managers/SaveGameManager.h"

void SaveGameManagerProto::ClearWorld() {}

void SaveGameManagerProto::ResetTypes(const char* className) {}

void SaveGameManagerProto::DlcLevelPassed(int level) {}
