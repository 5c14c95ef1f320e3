#pragma once

#include <string>

// A file of tests/data in the source tree: pictures, models and shaders the tests read.
inline std::string testData(const std::string& file)
{
    return std::string(MARROWDEEP_TEST_DATA) + "/" + file;
}
