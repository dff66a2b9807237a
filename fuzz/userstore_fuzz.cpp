// Looks names up in arbitrary bytes as the per-user store file. Input: the
// first line is the name, the rest the store. A value found is the rest of a
// line of the store: it holds no line end, and the line it ends is
// "name=value" with the name in any ASCII case.
#include "domain/settings/UserStore.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace tess;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view name;
    if (const std::size_t end = input.find('\n'); end != std::string_view::npos) {
        name = input.substr(0, end);
        input.remove_prefix(end + 1);
    }
    for (const std::string_view wanted : {name, UserValueExePath, UserValueEigo, UserValueCom}) {
        const auto value = findStoreValue(input, wanted);
        if (!value)
            continue;
        if (value->find_first_of("\r\n") != std::string_view::npos)
            std::abort();
        // The value is a view into the store, right after "name=".
        const auto at = static_cast<std::size_t>(value->data() - input.data());
        if (at < wanted.size() + 1 || at + value->size() > input.size() || input[at - 1] != '=')
            std::abort();
    }
    return 0;
}
