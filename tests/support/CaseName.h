#pragma once

#include <gtest/gtest.h>
#include <string>

namespace tess::test {

// Names parameterised cases after their `name` field, so failures read as
// "SplitLines/CrLf" rather than "SplitLines/0".
struct CaseName {
    template <typename Param> std::string operator()(const ::testing::TestParamInfo<Param>& p) const
    {
        return std::string(p.param.name);
    }
};

} // namespace tess::test
