#ifndef MVEX_IO_ITEM_INPUT_H_
#define MVEX_IO_ITEM_INPUT_H_

#include <string>

#include "io/data_file.h"

namespace mvex {

/// Most bytes one item holds; a longer run of bytes is split into several items.
constexpr int maxItemLength = 4096;

/// Reads the next item of text from `file`: leading blanks (space, tab) are dropped, and the
/// item runs to a comma (unless quoted), a line end (LF, CR, or CR LF) or the end of the file;
/// an item that begins with a quote runs to the closing quote. The delimiter is used up; a byte
/// that follows a closing quote or the 4096-byte limit and is no delimiter is given back to
/// `file`. The item is cut at its first 0x00 byte. A file that is not open gives the empty item.
std::string readItem(DataFile& file);

}  // namespace mvex

#endif  // MVEX_IO_ITEM_INPUT_H_
