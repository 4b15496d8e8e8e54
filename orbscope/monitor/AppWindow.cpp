#include "AppWindow.h"

#include "AboutDialog.h"
#include "AddressDialog.h"
#include "Identifiers.h"
#include "Reports.h"
#include "WinException.h"
#include "forms/Dialogs.h"
#include "reflash/ReflashDialog.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>

namespace orbscope {

namespace {

// The window's size where the system would choose a default one.
constexpr QSize kDefaultWindowSize(640, 540);

const char* const kHelpText =
    "Use \"File->Set Modem Address...\" to set the IP address of the modem, then \"File->Start Real Time "
    "Update\" to display the IQ monitor.\n\n"
    "The IQ monitor can also be started automatically from a shortcut that gives the IP address of the modem "
    "with the \"-a\" option.\n\n"
    "The syntax is: orbscope -a<IP address>";

// The application's style, but a separator in a menu bar moves the menus
// after it to the bar's right end.
class MenuBarStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == QStyle::SH_DrawMenuBarSeparator) return 1;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// One for all windows, living as long as the application.
QStyle* RightAlignedMenusStyle() {
  static QPointer<QStyle> style;
  if (style.isNull()) {
    style = new MenuBarStyle;
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

struct MenuEntry {
  int id;  // 0: separator
  const char* text;
};

}  // namespace

std::unique_ptr<CAppWindow> CAppWindow::Create(const Options& options) {
  try {
    std::unique_ptr<CAppWindow> window(new CAppWindow(options));
    // Without an internet session the window closes itself while being
    // created; the program entry reports the failed creation.
    if (!window->monitor_->SessionOpen()) return nullptr;
    if (options.commandLine.startAutomatically) window->StartRealTimeUpdate(true);
    return window;
  } catch (const WinException& error) {
    Report(QString::fromLocal8Bit(error.Message().c_str()), forms::vbExclamation, QStringLiteral("Initialization"));
  } catch (...) {
    Report(QStringLiteral("Unknown Error"), forms::vbExclamation, QStringLiteral("Initialization"));
  }
  return nullptr;
}

CAppWindow::CAppWindow(const Options& options) : options_(options) {
  setWindowIcon(OrbscopeIcon());
  setObjectName(QStringLiteral("Orbscope"));
  BuildMenu();
  // An address given with -a is remembered; without one (and without any
  // other text) the last address is offered, ready to start.
  CommandLine line = options.commandLine;
  if (line.addressGiven) {
    StoreModemAddress(line.address);
  } else if (line.address.empty()) {
    line.address = StoredModemAddress();
    line.addressGiven = !line.address.empty();
  }
  EnableItem(IDM_START, line.addressGiven);
  EnableItem(IDM_STOP, false);

  monitor_ = std::make_unique<CConstellationMonitor>(CTextBuf(line.address.c_str()));
  SetStatistics(false);

  plot_ = new PlotView(this);
  plot_->SetMonitor(monitor_.get());
  setCentralWidget(plot_);
  setWindowTitle(QString::fromLocal8Bit(WindowTitle(line.addressGiven, line.address).c_str()));
  resize(kDefaultWindowSize);

  // One poll a second, not somewhere between 0.95 and 1.05 s.
  pollTimer_.setTimerType(Qt::PreciseTimer);
  connect(&pollTimer_, &QTimer::timeout, this, [this] { Guard([this] { TimerTick(); }); });
}

CAppWindow::~CAppWindow() {
  ++generation_;
  pollTimer_.stop();
  timerRunning_ = false;
  // Exit ends at once: whatever is in flight (a connection attempt, a read)
  // is abandoned and its connection closed, and nothing comes back from the
  // link thread once the monitor is gone.
  monitor_->Shutdown();
  plot_->SetMonitor(nullptr);
  monitor_.reset();
}

void CAppWindow::BuildMenu() {
  static const MenuEntry kFileMenu[] = {{IDM_SET_ADDRESS, "Set Modem &Address ..."},
                                        {IDM_START, "&Start Real Time Update"},
                                        {IDM_STOP, "Stop Real &Time Update"},
                                        {0, nullptr},
                                        {IDM_REFLASH, "&ReFLASH"},
                                        {0, nullptr},
                                        {IDM_PRINTER_SETUP, "Pr&inter Setup ..."},
                                        {IDM_PRINT, "&Print"},
                                        {0, nullptr},
                                        {IDM_EXIT, "E&xit"}};
  const auto add = [this](QMenu* menu, const MenuEntry& entry) {
    if (entry.id == 0) {
      menu->addSeparator();
      return;
    }
    QAction* action = menu->addAction(QString::fromLatin1(entry.text));
    action->setObjectName(QString::number(entry.id));
    action->setProperty("commandId", entry.id);
    const int id = entry.id;
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
    items_[id] = action;
  };

  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("ORBSCOPE"));
  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  for (const MenuEntry& entry : kFileMenu) add(file, entry);
  QMenu* evm = bar->addMenu(QStringLiteral("&EVM"));
  add(evm, {IDM_STATISTICS, "Enable Statistics"});
  items_[IDM_STATISTICS]->setCheckable(true);

  // The Help menu sits at the right end of the bar, and is one of its
  // menus all the same, for the arrow keys and the accessibility tree.
  bar->setStyle(RightAlignedMenusStyle());
  bar->addSeparator();
  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add(help, {IDM_HELP, "&Help"});
  add(help, {IDM_ABOUT, "&About..."});

  EnableItem(IDM_PRINTER_SETUP, false);
  EnableItem(IDM_PRINT, false);
}

QAction* CAppWindow::MenuItem(int id) const {
  const auto found = items_.find(id);
  return found == items_.end() ? nullptr : found->second;
}

void CAppWindow::EnableItem(int id, bool enabled) {
  if (QAction* item = MenuItem(id)) item->setEnabled(enabled);
}

void CAppWindow::SetStatistics(bool on) {
  statisticsOn_ = on;
  if (!on) monitor_->StatisticsOff();
  MenuItem(IDM_STATISTICS)->setChecked(on);
}

void CAppWindow::UpdateTitle() {
  const CTextBuf& address = monitor_->Address();
  setWindowTitle(QString::fromLocal8Bit(WindowTitle(!address.IsEmpty(), address.Text()).c_str()));
}

void CAppWindow::Guard(const std::function<void()>& step) {
  try {
    step();
  } catch (const WinException& error) {
    // As an exception that leaves the window procedure: reported by the
    // program entry, and the program ends.
    ReportException(error);
    QCoreApplication::exit(0);
  } catch (...) {
    ReportUnknownException();
    QCoreApplication::exit(0);
  }
}

void CAppWindow::OnCommand(int id) {
  static const std::map<int, void (CAppWindow::*)()> kCommands = {
      {IDM_SET_ADDRESS, &CAppWindow::SetModemAddress},
      {IDM_START, &CAppWindow::StartCommand},
      {IDM_STOP, &CAppWindow::StopRealTimeUpdate},
      {IDM_REFLASH, &CAppWindow::Reflash},
      {IDM_STATISTICS, &CAppWindow::ToggleStatistics},
      {IDM_HELP, &CAppWindow::ShowHelp},
      {IDM_ABOUT, &CAppWindow::ShowAbout},
      {IDM_EXIT, &CAppWindow::Exit},
  };
  // IDM_PRINTER_SETUP and IDM_PRINT have no action: the items stay disabled.
  if (const auto found = kCommands.find(id); found != kCommands.end())
    Guard([this, found] { (this->*found->second)(); });
  // A checkable item toggles itself when clicked; the state is the
  // controller's.
  if (id == IDM_STATISTICS) MenuItem(IDM_STATISTICS)->setChecked(statisticsOn_);
}

void CAppWindow::StartCommand() { StartRealTimeUpdate(false); }

void CAppWindow::Exit() { close(); }

void CAppWindow::SetModemAddress() {
  if (monitor_->IsConnected() || starting_) {
    Report(QStringLiteral("Cannot modify IP address while real-time update is running."), forms::vbInformation,
           QStringLiteral("IP Address Config"), this);
    return;
  }
  CTextBuf address(monitor_->Address());
  const int result = RunSelectModemDialog(this, address);
  monitor_->SetAddress(address);
  if (!address.IsEmpty()) EnableItem(IDM_START, true);
  if (result != 0 && result != -1 && !address.IsEmpty()) StoreModemAddress(address.Text());
  UpdateTitle();
}

void CAppWindow::Reflash() {
  if (monitor_->IsConnected() || starting_) {
    Report(QStringLiteral("Cannot reFLASH while real-time update is running."), forms::vbInformation,
           QStringLiteral("Modem reFLASH"), this);
    return;
  }
  RunReflashDialog(this, *monitor_, reflashTiming_);
}

void CAppWindow::ShowHelp() {
  Report(QString::fromLatin1(kHelpText), forms::vbInformation, QStringLiteral("Orbscope Help"), this);
}

void CAppWindow::ShowAbout() {
  CAboutDialog about(this);
  about.exec();
}

}  // namespace orbscope
