#include "shell/receiver_dialogs.h"

#include <QMessageBox>
#include <QPushButton>

#include "receiver/port_open_failure.h"
#include "settings/label_ids.h"
#include "settings/label_table.h"

namespace koru {

void NoticeNoReceiver(const std::string& text) {
  auto* box = new QMessageBox(QMessageBox::Information, "KORU", QString::fromStdString(text),
                              QMessageBox::Ok);
  box->setObjectName("noReceiver");
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void AskWhetherSensorRemoved(const ReceiverSession::BusyAnswer& answer) {
  auto* box = new QMessageBox(QMessageBox::Warning, "KORU_W",
                              QString::fromUtf8(getLabel(kLabelResourceBusy)) + "\n\n" +
                                  QString::fromStdString(RecentOpenFailures()) + "\n" +
                                  QString::fromUtf8(getLabel(kLabelRemoveSensorFirst)));
  QPushButton* nothing =
      box->addButton(QString::fromUtf8(getLabel(kLabelDoNothing)), QMessageBox::RejectRole);
  QPushButton* removed =
      box->addButton(QString::fromUtf8(getLabel(kLabelSensorRemoved)), QMessageBox::AcceptRole);
  box->setDefaultButton(removed);
  box->setAttribute(Qt::WA_DeleteOnClose);
  QObject::connect(box, &QMessageBox::buttonClicked, box,
                   [answer, removed, nothing](QAbstractButton* button) {
                     if (button == removed || button == nothing) answer(button == removed);
                   });
  box->open();
}

}  // namespace koru
