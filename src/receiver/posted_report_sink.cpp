#include "receiver/posted_report_sink.h"

#include "platform/messaging/four_cc.h"
#include "platform/messaging/message.h"
#include "receiver/receiver_messages.h"

namespace koru {

PostedReportSink::PostedReportSink(Looper* looper, ReceiverReportSink* target)
    : looper_(looper), target_(std::make_shared<std::atomic<ReceiverReportSink*>>(target)) {}

PostedReportSink::~PostedReportSink() {
  target_->store(nullptr);
}

void PostedReportSink::Report(const ReceiverReport& report) {
  if (looper_ == nullptr) return;
  looper_->Post([target = target_, report] {
    if (ReceiverReportSink* to = target->load()) to->Report(report);
  });
}

void PostedReportSink::PortMissing() {
  AppMessenger().SendMessage(kNoReceiverPort);
}

void PostedReportSink::AlreadyScanning() {
  if (looper_ == nullptr) return;
  looper_->Post([target = target_] {
    if (ReceiverReportSink* to = target->load()) to->AlreadyScanning();
  });
}

}  // namespace koru
