// Text rules of the file picker: the filter list the dialogs read, titles written with "\n", and the
// paths of a multiple selection. Plain functions over strings; nothing here touches the disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace PickerText {

// One entry of the picker's filter text: title, "|", pattern, "|".
std::wstring FilterEntry(std::wstring_view title, std::wstring_view pattern);

// The picker's "title|pattern|..." text as the dialogs read it: every "|" becomes a NUL, and the
// result holds complete title/pattern pairs followed by the list's closing empty string, so a reader
// walking pairs stops inside it (a title left without a pattern gets an empty one). Empty text gives
// an empty result: no filter at all.
std::wstring DialogFilterList(std::wstring_view filters);

// The title with every backslash followed by "n", as a script writes a line break, made a real one.
std::wstring ExpandLineBreaks(std::wstring_view title);

// The paths a dialog's selection result names. The result is a run of NUL-terminated strings closed
// by an empty one, read no further than its end: one string is one full path; otherwise the first is
// the folder and the strings from nameOffset on (right after the folder when nameOffset does not
// point there) are names in that folder. A folder that already ends with "\" (a drive root) gets no
// second one.
std::vector<std::wstring> SelectionPaths(std::wstring_view result, size_t nameOffset);

} // namespace PickerText
