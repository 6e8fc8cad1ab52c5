#ifndef PLATFORM_TRANSLATION_H
#define PLATFORM_TRANSLATION_H

// The tools' words in the user's language. The tools write English; their
// catalogue (po/ja.po, compiled into the tools as they are built) holds the
// Japanese for it, found by the English itself, as gettext finds it.

// Marks a text for the catalogue where it is written down, so that
// xgettext --keyword=N_ finds it; Say finds its words where it is used.
#define N_(text) text

namespace platform {

// Whether the tools speak Japanese to this user: where the user reads
// Japanese (locale.h's UserReadsJapanese) and it can be written where the
// user reads it: the character set of the streams carries it (UTF-8,
// Shift_JIS, EUC-JP), or both are shown as text (ShowsText).
bool SaysJapanese();

// The words for `english` in the language the tools speak: the catalogue's
// translation, or `english` itself where it has none or the tools speak
// English. What the tools print goes through it (tool_output.h).
const char* Say(const char* english);

// English from now on, whatever the user reads: for output whose words are
// an interface for programs (d88ls --json).
void SayInEnglish();

}  // namespace platform

#endif  // PLATFORM_TRANSLATION_H
