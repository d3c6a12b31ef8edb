// Arbitrary bytes as the content of an INI file: reading must never crash, and writing one key must
// keep the rest of the text readable and give back the key.
#include "data/settings/ini_document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    // The first bytes pick the names to write, so names the engine must refuse are reached too.
    std::string_view section = input.substr(0, size > 0 ? data[0] % 8 : 0);
    std::string_view key = input.substr(section.size(), size > 1 ? data[1] % 8 : 0);
    std::string_view content = input.substr(section.size() + key.size());

    orvanta::ini::IniDocument document(content);
    for (std::string_view name : {"A", "option", "Option", ""}) {
        if (auto value = document.value(name, "k")) Require(value->size() <= orvanta::ini::kMaxValueLength);
        (void)document.value(name, key);
    }
    Require(orvanta::ini::IniDocument(document.text()).text() == document.text());

    const std::string written = "v=1 'x'";
    bool storable = orvanta::ini::IniDocument::isStorable(section, key, written);
    Require(document.setValue(section, key, written) == storable);
    if (storable) {
        Require(document.value(section, key) == written);
        orvanta::ini::IniDocument reread(document.text());
        Require(reread.value(section, key) == written);
        Require(reread.value("zz-untouched", "k") ==
                orvanta::ini::IniDocument(content).value("zz-untouched", "k"));
        Require(reread.removeKey(section, key));
    }
    return 0;
}
