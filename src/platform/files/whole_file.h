#pragma once
// Reading a small file whole, from a path the user gave: a FIFO nobody writes to must not hang
// the reader, and a device such as /dev/zero must not be read to the limit.
#include <cstddef>
#include <string>

#include "platform/messaging/status.h"

namespace koru {

// Reads a regular file, or a pipe or FIFO to its end, into `text`. A FIFO without a writer
// reads as empty instead of waiting for one; a folder or a device gives kBadType, more than
// `limit` bytes kBadValue, a failing open or read its errno status.
status_t ReadWholeFile(const std::string& path, size_t limit, std::string* text);

}  // namespace koru
