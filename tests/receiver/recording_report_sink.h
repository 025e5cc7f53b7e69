#pragma once
// A sink that keeps what a receiver thread reported, for tests; safe from any thread. And a
// handler that keeps the messages posted to it (the application's: no port, a busy port).
#include <mutex>
#include <string>
#include <vector>

#include "platform/messaging/message.h"
#include "receiver/receiver_report_sink.h"

namespace koru {

class RecordingReportSink : public ReceiverReportSink {
 public:
  void Report(const ReceiverReport& report) override { Add("report", &report); }
  void PortMissing() override { Add("port missing"); }
  void AlreadyScanning() override { Add("already scanning"); }

  std::vector<ReceiverReport> Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
  }
  std::vector<std::string> Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  size_t Count() const { return Events().size(); }

 private:
  void Add(const char* event, const ReceiverReport* report = nullptr) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
    if (report != nullptr) reports_.push_back(*report);
  }
  mutable std::mutex mutex_;
  std::vector<ReceiverReport> reports_;
  std::vector<std::string> events_;
};

class MessageInbox : public Handler {
 public:
  explicit MessageInbox(Looper* looper) : Handler(looper) {}
  void MessageReceived(Message* message) override { received.push_back(*message); }
  std::vector<Message> received;
};

}  // namespace koru
