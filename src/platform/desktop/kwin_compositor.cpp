#include "platform/desktop/kwin_compositor.h"

#include <unistd.h>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

#include "platform/messaging/trace.h"

namespace koru {

namespace {

constexpr int kReplyTimeoutMs = 2000;
const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kDesktopsPath = QStringLiteral("/VirtualDesktopManager");
const QString kDesktopsInterface = QStringLiteral("org.kde.KWin.VirtualDesktopManager");
const QString kScriptingPath = QStringLiteral("/Scripting");
const QString kScriptingInterface = QStringLiteral("org.kde.kwin.Scripting");
const QString kScriptInterface = QStringLiteral("org.kde.kwin.Script");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kReportPath = QStringLiteral("/org/koru/WindowReport");
const QString kReportInterface = QStringLiteral("org.koru.WindowReport");

const char kNoDesktopsWhy[] =
    "KWin does not offer its virtual desktops on the session bus (org.kde.KWin "
    "/VirtualDesktopManager)";
const char kNoDesktopsRemedy[] =
    "A KWin that offers its virtual desktops on the session bus (org.kde.KWin "
    "/VirtualDesktopManager, in every current KDE Plasma) would enable it.";
const char kNoScriptsWhy[] =
    "KWin does not run scripts for other programs (no org.kde.KWin /Scripting)";
const char kNoScriptsRemedy[] =
    "KWin's scripting over the session bus (org.kde.KWin /Scripting, in every current KDE "
    "Plasma) would enable it.";

// The request script. Plasma 6 names windows "window" (windowList, activeWindow), Plasma 5
// "client" (clientList, activeClient) and hands byte arrays such as the resource class to
// scripts as ArrayBuffers; older Plasmas know the layout's size only as displayWidth/Height.
// The script tests for each. It reports one JSON text.
const char kScript[] = R"JS(// Written by KORU for one request; it reports back over D-Bus and ends.
(function () {
  var request = @REQUEST@;
  function text(value) {
    if (value === undefined || value === null) return "";
    if (typeof value === "string") return value;
    if (Object.prototype.toString.call(value) === "[object ArrayBuffer]") {
      var bytes = new Uint8Array(value), result = "";
      for (var i = 0; i < bytes.length; ++i) result += String.fromCharCode(bytes[i]);
      return result;
    }
    return String(value);
  }
  var plasma6 = typeof workspace.windowList === "function";
  var windows = plasma6 ? workspace.windowList() : workspace.clientList();
  var active = plasma6 ? workspace.activeWindow : workspace.activeClient;
  var activeId = active ? text(active.internalId) : "";
  function describe(window) {
    var appId = text(window.resourceClass), instance = text(window.resourceName);
    return {
      id: text(window.internalId),
      pid: typeof window.pid === "number" ? window.pid : -1,
      app_id: appId,
      instance: instance === appId ? "" : instance,
      title: text(window.caption),
      focused: text(window.internalId) === activeId
    };
  }
  var size = workspace.virtualScreenSize;
  var report = {
    windows: [],
    active: active ? describe(active) : null,
    done: false,
    layout: size ? {width: size.width, height: size.height}
                 : {width: workspace.displayWidth || 0, height: workspace.displayHeight || 0}
  };
  for (var i = 0; i < windows.length; ++i) {
    var candidate = windows[i];
    if (request.action === "list") {
      // Panels, the desktop, notifications and pop-ups are no windows of an application.
      if (!candidate.specialWindow) report.windows.push(describe(candidate));
    } else if (text(candidate.internalId) === request.id) {
      if (request.action === "close") {
        candidate.closeWindow();
      } else if (plasma6) {
        workspace.activeWindow = candidate;
      } else {
        workspace.activeClient = candidate;
      }
      report.done = true;
    }
  }
  callDBus(request.service, request.path, request.interface, "Report", request.token,
           JSON.stringify(report));
})();
)JS";

// Receives the scripts' reports ("Report"(token, json)) in its own thread; the waiting caller
// takes the one with its token.
class ReportReceiver : public QDBusVirtualObject {
 public:
  QString introspect(const QString&) const override {
    return QStringLiteral(
               "<interface name=\"%1\"><method name=\"Report\"><arg name=\"token\" type=\"s\" "
               "direction=\"in\"/><arg name=\"report\" type=\"s\" direction=\"in\"/></method>"
               "</interface>")
        .arg(kReportInterface);
  }

  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
    const QVariantList arguments = message.arguments();
    if (message.member() != QLatin1String("Report") || arguments.size() != 2) return false;
    {
      std::lock_guard lock(mutex_);
      if (arguments[0].toString().toStdString() == expected_)
        report_ = arguments[1].toString().toStdString();
    }
    arrived_.notify_all();
    connection.send(message.createReply());
    return true;
  }

  void Expect(const std::string& token) {
    std::lock_guard lock(mutex_);
    expected_ = token;
    report_.reset();
  }

  std::optional<std::string> Wait(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, timeout, [&] { return report_.has_value(); });
    std::optional<std::string> report = std::move(report_);
    report_.reset();
    expected_.clear();
    return report;
  }

 private:
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string expected_;
  std::optional<std::string> report_;
};

CompositorWindow WindowFromJson(const QJsonObject& object) {
  CompositorWindow window;
  window.id = object.value("id").toString().toStdString();
  window.pid = object.value("pid").toInt(-1);
  window.app_id = object.value("app_id").toString().toStdString();
  window.instance = object.value("instance").toString().toStdString();
  window.title = object.value("title").toString().toStdString();
  window.focused = object.value("focused").toBool();
  return window;
}

// A folder of KORU's own for the request scripts, so that nobody can put a file or a link
// where KORU writes them; empty when none can be made.
std::filesystem::path MakeScriptFolder() {
  std::error_code error;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  std::filesystem::path base = runtime && *runtime && std::filesystem::is_directory(runtime)
                                   ? std::filesystem::path(runtime)
                                   : std::filesystem::temp_directory_path(error);
  std::string pattern = (base / "koru-kwin-XXXXXX").string();
  if (error || !mkdtemp(pattern.data())) return {};
  return pattern;
}

// JSON as a script literal: the two line separators that JSON allows in strings end a line in
// older script engines.
std::string ScriptLiteral(const QJsonObject& object) {
  QString json = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
  json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
  json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
  return json.toStdString();
}

}  // namespace

struct KWinCompositor::Impl {
  QString connection_name;
  QDBusConnection bus{QString()};
  bool desktops = false;
  bool scripts = false;

  QThread thread;
  ReportReceiver* receiver = nullptr;
  std::mutex request_mutex;
  uint64_t next_token = 0;
  // Plasma 6 runs a loaded script at /Scripting/Script<id>, Plasma 5 at /<id>.
  bool plasma5_paths = false;
  std::chrono::milliseconds report_timeout = kReportTimeout;
  std::filesystem::path script_folder;

  ~Impl() {
    if (receiver) bus.unregisterObject(kReportPath);
    thread.quit();
    thread.wait();
    delete receiver;
    QDBusConnection::disconnectFromBus(connection_name);
    std::error_code ignored;
    if (!script_folder.empty()) std::filesystem::remove_all(script_folder, ignored);
  }

  QDBusMessage Call(const QString& path, const QString& interface, const QString& method,
                    const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(kKWin, path, interface, method);
    call.setArguments(arguments);
    call.setAutoStartService(false);
    return bus.call(call, QDBus::Block, kReplyTimeoutMs);
  }

  std::optional<QVariant> DesktopProperty(const char* name) {
    QDBusMessage reply = Call(kDesktopsPath, kProperties, "Get", {kDesktopsInterface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
      return std::nullopt;
    return reply.arguments().first().value<QDBusVariant>().variant();
  }

  // The desktops' ids by position.
  std::vector<QString> DesktopIds() {
    std::vector<std::pair<uint, QString>> desktops;
    std::optional<QVariant> value = DesktopProperty("desktops");
    if (!value || !value->canConvert<QDBusArgument>()) return {};
    const QDBusArgument list = value->value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
      uint position = 0;
      QString id, name;
      list.beginStructure();
      list >> position >> id >> name;
      list.endStructure();
      desktops.emplace_back(position, id);
    }
    list.endArray();
    std::sort(desktops.begin(), desktops.end());
    std::vector<QString> ids;
    for (const auto& desktop : desktops) ids.push_back(desktop.second);
    return ids;
  }

  bool RunScript(int id) {
    QString plasma6 = kScriptingPath + QStringLiteral("/Script%1").arg(id);
    QString plasma5 = QStringLiteral("/%1").arg(id);
    for (int attempt = 0; attempt < 2; ++attempt) {
      QDBusMessage reply = Call(plasma5_paths ? plasma5 : plasma6, kScriptInterface, "run");
      if (reply.type() == QDBusMessage::ReplyMessage) return true;
      plasma5_paths = !plasma5_paths;
    }
    return false;
  }

  // Runs one request script and returns its report; nullopt, with a trace line, when KWin does
  // not load or run it or it does not report in time.
  std::optional<QJsonObject> Request(const QString& action, const std::string& window_id = {}) {
    if (!scripts) return std::nullopt;
    std::lock_guard lock(request_mutex);
    const std::string token = std::to_string(++next_token);
    const QString plugin = QStringLiteral("koru-%1").arg(getpid());
    const std::filesystem::path file = script_folder / ("request-" + token + ".js");

    QJsonObject request{{"service", bus.baseService()},
                        {"path", kReportPath},
                        {"interface", kReportInterface},
                        {"token", QString::fromStdString(token)},
                        {"action", action},
                        {"id", QString::fromStdString(window_id)}};
    std::string script = kScript;
    script.replace(script.find("@REQUEST@"), 9, ScriptLiteral(request));
    {
      std::ofstream out(file, std::ios::trunc);
      out << script;
      if (!out.flush()) {
        Trace("KWin: cannot write the window script %s\n", file.c_str());
        return std::nullopt;
      }
    }

    receiver->Expect(token);
    std::optional<std::string> report;
    QDBusMessage loaded = Call(kScriptingPath, kScriptingInterface, "loadScript",
                               {QString::fromStdString(file.string()), plugin});
    int id = loaded.type() == QDBusMessage::ReplyMessage && !loaded.arguments().isEmpty()
                 ? loaded.arguments().first().toInt()
                 : -1;
    if (id < 0) {
      Trace("KWin: the window script was not loaded (%s)\n",
            loaded.errorMessage().toStdString().c_str());
    } else if (!RunScript(id)) {
      Trace("KWin: the window script does not run\n");
    } else {
      report = receiver->Wait(report_timeout);
      if (!report) Trace("KWin: the window script did not report\n");
    }
    // Unloaded whatever happened: a script still loaded under the name would refuse the next.
    Call(kScriptingPath, kScriptingInterface, "unloadScript", {plugin});
    std::error_code ignored;
    std::filesystem::remove(file, ignored);
    if (!report) return std::nullopt;
    QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(*report));
    if (!document.isObject()) {
      Trace("KWin: the window script reported nonsense\n");
      return std::nullopt;
    }
    return document.object();
  }

  status_t WindowAction(const QString& action, const CompositorWindow& window) {
    if (!scripts) return kUnsupported;
    std::optional<QJsonObject> report = Request(action, window.id);
    if (!report) return kTimedOut;
    return report->value("done").toBool() ? kOk : kEntryNotFound;
  }
};

KWinCompositor::KWinCompositor(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
KWinCompositor::~KWinCompositor() = default;

CompositorBackends KWinCompositor::Backends() const {
  CompositorBackends backends;
  if (impl_->desktops) backends.workspaces = "kwin";
  if (impl_->scripts) backends.front_app = backends.windows = "kwin-script";
  return backends;
}

CompositorBackends KWinCompositor::WhyNot() const {
  CompositorBackends why;
  if (!impl_->desktops) why.workspaces = kNoDesktopsWhy;
  if (!impl_->scripts) why.front_app = why.windows = kNoScriptsWhy;
  return why;
}

CompositorBackends KWinCompositor::Remedies() const {
  CompositorBackends remedies;
  if (!impl_->desktops) remedies.workspaces = kNoDesktopsRemedy;
  if (!impl_->scripts) remedies.front_app = remedies.windows = kNoScriptsRemedy;
  return remedies;
}

std::vector<CompositorWindow> KWinCompositor::Windows() {
  std::vector<CompositorWindow> windows;
  std::optional<QJsonObject> report = impl_->Request("list");
  if (!report) return windows;
  for (const QJsonValue& value : report->value("windows").toArray())
    windows.push_back(WindowFromJson(value.toObject()));
  return windows;
}

std::optional<CompositorWindow> KWinCompositor::FocusedWindow() {
  std::optional<QJsonObject> report = impl_->Request("active");
  if (!report || !report->value("active").isObject()) return std::nullopt;
  CompositorWindow window = WindowFromJson(report->value("active").toObject());
  window.focused = true;
  return window;
}

status_t KWinCompositor::Focus(const CompositorWindow& window) {
  return impl_->WindowAction("activate", window);
}

status_t KWinCompositor::Close(const CompositorWindow& window) {
  return impl_->WindowAction("close", window);
}

ScreenSize KWinCompositor::LayoutSize() {
  std::optional<QJsonObject> report = impl_->Request("active");
  if (!report) return {};
  QJsonObject layout = report->value("layout").toObject();
  return {layout.value("width").toInt(), layout.value("height").toInt()};
}

int32_t KWinCompositor::CountWorkspaces() {
  if (!impl_->desktops) return 1;
  std::optional<QVariant> count = impl_->DesktopProperty("count");
  if (!count || count->toUInt() == 0) return 1;
  return static_cast<int32_t>(count->toUInt());
}

int32_t KWinCompositor::CurrentWorkspace() {
  if (!impl_->desktops) return -1;
  std::optional<QVariant> current = impl_->DesktopProperty("current");
  if (!current) return -1;
  std::vector<QString> ids = impl_->DesktopIds();
  auto found = std::find(ids.begin(), ids.end(), current->toString());
  return found == ids.end() ? -1 : static_cast<int32_t>(found - ids.begin());
}

status_t KWinCompositor::ActivateWorkspace(int32_t index) {
  if (!impl_->desktops) return kUnsupported;
  std::vector<QString> ids = impl_->DesktopIds();
  if (index < 0 || index >= static_cast<int32_t>(ids.size())) return kBadIndex;
  QDBusMessage reply =
      impl_->Call(kDesktopsPath, kProperties, "Set",
                  {kDesktopsInterface, "current", QVariant::fromValue(QDBusVariant(ids[index]))});
  return reply.type() == QDBusMessage::ReplyMessage ? kOk : kIoError;
}

std::unique_ptr<KWinCompositor> OpenKWinCompositor(std::string* why_not,
                                                   std::chrono::milliseconds report_timeout) {
  static std::atomic<int> instances{0};
  auto impl = std::make_unique<KWinCompositor::Impl>();
  impl->report_timeout = report_timeout;
  impl->connection_name = QStringLiteral("koru-kwin-%1").arg(++instances);
  impl->bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, impl->connection_name);
  auto fail = [&](const std::string& why) {
    if (why_not) *why_not = why;
    return nullptr;
  };
  if (!impl->bus.isConnected()) return fail("no session bus");
  QDBusConnectionInterface* names = impl->bus.interface();
  if (!names || !names->isServiceRegistered(kKWin).value())
    return fail("KWin is not on the session bus (org.kde.KWin)");

  impl->desktops = impl->DesktopProperty("count").has_value();
  QDBusMessage introspection =
      impl->Call(kScriptingPath, "org.freedesktop.DBus.Introspectable", "Introspect");
  impl->scripts = introspection.type() == QDBusMessage::ReplyMessage &&
                  !introspection.arguments().isEmpty() &&
                  introspection.arguments().first().toString().contains("loadScript");
  if (impl->scripts) impl->script_folder = MakeScriptFolder();
  if (impl->script_folder.empty()) {
    if (impl->scripts) Trace("KWin: no folder for the window scripts\n");
    impl->scripts = false;
  }
  if (impl->scripts) {
    impl->receiver = new ReportReceiver;
    impl->thread.setObjectName(QStringLiteral("koru-kwin"));
    impl->receiver->moveToThread(&impl->thread);
    impl->thread.start();
    if (!impl->bus.registerVirtualObject(kReportPath, impl->receiver)) {
      Trace("KWin: cannot receive the window scripts' reports\n");
      impl->scripts = false;
    }
  }
  if (!impl->desktops && !impl->scripts)
    return fail(std::string(kNoDesktopsWhy) + "; " + kNoScriptsWhy);
  return std::unique_ptr<KWinCompositor>(new KWinCompositor(std::move(impl)));
}

}  // namespace koru
