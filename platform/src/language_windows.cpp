// The user's language on Windows: the interface language.

#include <windows.h>

#include "user_locale.h"

namespace platform {

bool UserReadsJapanese() { return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE; }

}  // namespace platform
