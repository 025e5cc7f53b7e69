// The remote folder's index as a scan reads it, and one record's state from it: whatever the
// bytes, nothing breaks, and a state that is taken is written back byte for byte. The bytes are
// tried as a whole index file and as entries with a good checksum (which random bytes never
// have), so that the entries' reader is reached.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_folder.h"
#include "platform/files/folder_reader.h"
#include "remotes/remote_definition.h"
#include "remotes/remote_folder_index.h"

using namespace koru;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  QuietTrace();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string sealed = RemoteFolderIndex::Sealed(bytes);
  for (const std::string_view file : {bytes, std::string_view(sealed)}) {
    WriteFuzzFile(RemoteFolderIndex::kFileName, reinterpret_cast<const uint8_t*>(file.data()),
                  file.size());
    const FolderReader folder(FuzzFolder());
    RemoteFolderIndex index(folder);
    if (const auto stamp = folder.StampOf(RemoteFolderIndex::kFileName)) {
      RemoteDefinition record;
      FUZZ_CHECK(!index.Find(RemoteFolderIndex::kFileName, *stamp, &record).has_value());
    }
    FUZZ_CHECK(index.Serialized() == RemoteFolderIndex::Sealed(""));
  }

  RemoteDefinition record;
  if (record.TakeIndexState(bytes)) {
    std::string again;
    record.AppendIndexState(&again);
    FUZZ_CHECK(again == bytes);
  }
  return 0;
}
