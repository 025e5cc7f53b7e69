#pragma once
// The receiver thread's sink in the program: each report is posted to a looper (the GUI
// thread's) and handed there to the target, while this sink exists; a report still queued when
// the sink goes is dropped. A missing port is the application's business as a busy one is: it
// goes to the application messenger as 'ir--'. The thread's reports and the port messages take
// the same queue, so they keep their order.
#include <atomic>
#include <memory>

#include "platform/messaging/messenger.h"
#include "receiver/receiver_report_sink.h"

namespace koru {

class PostedReportSink : public ReceiverReportSink {
 public:
  // `target` is called on `looper`'s thread only.
  PostedReportSink(Looper* looper, ReceiverReportSink* target);
  ~PostedReportSink() override;
  PostedReportSink(const PostedReportSink&) = delete;
  PostedReportSink& operator=(const PostedReportSink&) = delete;

  void Report(const ReceiverReport& report) override;
  void PortMissing() override;
  void AlreadyScanning() override;

 private:
  Looper* looper_;
  std::shared_ptr<std::atomic<ReceiverReportSink*>> target_;
};

}  // namespace koru
