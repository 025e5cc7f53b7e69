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
  status_t InitCheck() const override { return init_status_; }
  ssize_t ReadAttr(std::string_view name, type_code type, int64_t offset, void* buffer,
                   size_t size) override;
  ssize_t WriteAttr(std::string_view name, type_code type, int64_t offset, const void* buffer,
                    size_t size) override;
  status_t RemoveAttr(std::string_view name) override;

  void SetInitStatus(status_t status) { init_status_ = status; }
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
  // Attribute names in the order of their first write.
  const std::vector<std::string>& WriteOrder() const { return write_order_; }
  std::vector<std::string> Names() const;

 private:
  status_t init_status_ = kOk;
  std::map<std::string, std::vector<uint8_t>> values_;
  std::set<std::string> failing_reads_;
  std::set<std::string> failing_writes_;
  std::vector<std::string> write_order_;
};

}  // namespace koru
