#include "knownfolders.h"

SpecialFolders::~SpecialFolders() = default;
