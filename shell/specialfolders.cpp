#include "specialfolders.h"

SpecialFolders::~SpecialFolders() = default;
