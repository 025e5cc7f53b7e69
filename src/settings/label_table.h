#pragma once
// The numbered words of the user interface (0..210) and their lookup through the user's
// translation catalogue.
#include <filesystem>
#include <string>

namespace koru {

inline constexpr int kLabelCount = 211;

// The English texts; entry kLabelCount is a null pointer.
extern const char* const eLabel[kLabelCount + 1];

// Entry n after translation; n outside 0..210 gives "" (and a trace line).
const char* getLabel(int n);

// The catalogue file for a locale name such as "de_DE.UTF-8" in the program folder's
// "Language/Dictionaries": "<lang>_<COUNTRY>.catalog", else "<lang>.catalog"; empty when none.
std::filesystem::path CatalogueFor(const std::string& locale);

// Forgets the loaded catalogue; the next getLabel reads it again (after the program folder or
// the locale changed). Texts returned earlier stay valid.
void ReloadLabelCatalogue();

}  // namespace koru
