#pragma once
// A Favorites folder in a temporary folder, with the core's objects over it.
// The file system is the real one, with the failures a test asks for.

#include <gtest/gtest.h>

#include "FlakyFileSystem.h"
#include "TestSupport.h"
#include "core/Catalog.h"

namespace brim::test {

class CatalogFixture : public testing::Test {
  protected:
    TempDir dir;
    TestFolders folders{dir};
    const std::string root = folders.favorites();
    FlakyFileSystem fs;
    SystemCodePage cp;
    SystemCaseMapper mapper;
    core::Profile profile{fs, cp, folders};
    core::Catalog catalog{fs, profile, root};
};

}  // namespace brim::test
