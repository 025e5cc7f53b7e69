#pragma once
// An attribute node in memory, for tests: attributes can be made to fail on read or write.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files/attribute_node.h"

namespace koru {

class MemoryNode : public AttributeNode {
 public:
  status_t InitCheck() const override { return kOk; }
  ssize_t ReadAttr(std::string_view name, type_code type, int64_t offset, void* buffer,
                   size_t size) override;
  ssize_t WriteAttr(std::string_view name, type_code type, int64_t offset, const void* buffer,
                    size_t size) override;
  status_t RemoveAttr(std::string_view name) override;

  void FailReadsOf(const std::string& name) { failing_reads_.insert(name); }
  void FailWritesOf(const std::string& name) { failing_writes_.insert(name); }
  void ClearFailures() {
    failing_reads_.clear();
    failing_writes_.clear();
  }

  bool Has(const std::string& name) const { return values_.count(name) > 0; }
  const std::vector<uint8_t>& Value(const std::string& name) const { return values_.at(name); }
  void SetValue(const std::string& name, std::vector<uint8_t> value) {
    values_[name] = std::move(value);
  }
  std::vector<std::string> Names() const;

 private:
  std::map<std::string, std::vector<uint8_t>> values_;
  std::set<std::string> failing_reads_;
  std::set<std::string> failing_writes_;
};

}  // namespace koru
