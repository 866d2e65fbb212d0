// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/NameText.h"

#include <algorithm>
#include <iterator>

namespace lumbra {

std::string WithoutControlCharacters(std::string_view text) {
    std::string kept;
    kept.reserve(text.size());
    std::copy_if(text.begin(), text.end(), std::back_inserter(kept),
                 [](char c) { return !IsControlCharacter(c); });
    return kept;
}

std::string CleanStoredName(std::string_view text) {
    std::string clean(text);
    std::replace_if(clean.begin(), clean.end(), IsControlCharacter, '_');
    return clean;
}

}  // namespace lumbra
