#include "platform/qt/qt_main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QSignalBlocker>
#include <QUrl>
#include <cmath>

#include "platform/qt/app_icon.h"

namespace tsukio {

namespace {

constexpr int kClientWidth = 250;
constexpr int kClientHeight = 289;
constexpr char kWindowFace[] = "ＭＳ Ｐゴシック";
constexpr char kAboutFace[] = "ＭＳ ゴシック";

QFont Face(const char* family, int pixels, bool bold = false) {
  QFont font(QString::fromUtf8(family));
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

template <typename W>
W* Place(W* widget, int x, int y, int w, int h) {
  widget->setGeometry(x, y, w, h);
  return widget;
}

// Shows a state without reporting it back as the user's doing.
void Show(QAbstractButton* button, bool checked, bool enabled) {
  const QSignalBlocker block(button);
  button->setChecked(checked);
  button->setEnabled(enabled);
}

}  // namespace

QtMainWindow::QtMainWindow(MainWindowInput& input)
    : QWidget(nullptr,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      input_(input) {
  setFixedSize(kClientWidth, kClientHeight);
  setFont(Face(kWindowFace, 12));
  setWindowIcon(QIcon(QPixmap::fromImage(AppIcon(64))));

  calendar_ = Place(new QtCalendarView(this), 0, 0, kClientWidth, kClientHeight);
  BuildAbout();
  close_ = Place(new QPushButton(QStringLiteral("とじる"), this), 40, 224, 169, 33);
  close_->setDefault(true);
  QObject::connect(close_, &QPushButton::clicked, [this] { input_.CloseClicked(); });
  BuildOptions();
}

void QtMainWindow::BuildOptions() {
  optionsGroup_ = Place(new QGroupBox(QStringLiteral("設定"), this), 8, 8, 233, 265);
  optionsGroup_->hide();
  tabs_ = Place(new QTabWidget(optionsGroup_), 8, 24, 217, 193);
  tabs_->setFont(Face(kWindowFace, 16));
  auto* visible = new QWidget;
  auto* behaviour = new QWidget;
  auto* time = new QWidget;
  for (QWidget* page : {visible, behaviour, time}) page->setFont(Face(kWindowFace, 12));
  tabs_->addTab(visible, QStringLiteral("表示"));
  tabs_->addTab(behaviour, QStringLiteral("動作"));
  tabs_->addTab(time, QStringLiteral("時刻"));
  QObject::connect(tabs_, &QTabWidget::currentChanged,
                   [this](int index) { input_.TabShown(static_cast<OptionsTab>(index)); });

  const auto box = [this](QWidget* parent, const char* caption, OptionBox which, int x, int y,
                          int w, int h) {
    auto* check = Place(new QCheckBox(QString::fromUtf8(caption), parent), x, y, w, h);
    QObject::connect(check, &QCheckBox::clicked,
                     [this, which](bool checked) { input_.OptionBoxClicked(which, checked); });
    return check;
  };
  showMonth_ = box(visible, "月", OptionBox::kMonth, 8, 16, 56, 17);
  showWeekday_ = box(visible, "曜日", OptionBox::kWeekday, 64, 16, 72, 17);
  showClock_ = box(visible, "時刻", OptionBox::kClock, 136, 16, 65, 17);
  showWeekNumber_ = box(visible, "週番号", OptionBox::kWeekNumber, 8, 48, 80, 17);
  weekRule_ = Place(new QGroupBox(QStringLiteral("方式"), visible), 88, 48, 89, 65);
  isoChoice_ = Place(new QRadioButton(QStringLiteral("ISO"), weekRule_), 8, 18, 73, 17);
  usaChoice_ = Place(new QRadioButton(QStringLiteral("USA "), weekRule_), 8, 40, 73, 17);
  QObject::connect(isoChoice_, &QRadioButton::clicked, [this] { input_.WeekRuleChosen(0); });
  QObject::connect(usaChoice_, &QRadioButton::clicked, [this] { input_.WeekRuleChosen(1); });
  showMoon_ = box(visible, "月齢", OptionBox::kMoon, 8, 88, 72, 17);
  twelveHour_ = box(visible, "12時間表記", OptionBox::kTwelveHour, 8, 128, 110, 17);
  showAlmanac_ = box(visible, "その他", OptionBox::kAlmanac, 120, 128, 90, 17);

  autoUpdate_ = box(behaviour, "1度だけ自動更新", OptionBox::kAutoUpdate, 8, 12, 161, 25);
  autoUpdateLabel_ =
      Place(new QLabel(QStringLiteral("更新時間（秒）"), behaviour), 24, 40, 120, 16);
  autoUpdateField_ = Place(new QLabel(behaviour), 24, 64, 41, 33);
  autoUpdateField_->setAlignment(Qt::AlignCenter);
  autoUpdateField_->setAutoFillBackground(true);
  QPalette white = autoUpdateField_->palette();
  white.setColor(QPalette::Window, Qt::white);
  autoUpdateField_->setPalette(white);
  autoUpdateField_->setFrameShape(QFrame::StyledPanel);
  autoUp_ = Place(new QToolButton(behaviour), 64, 64, 25, 17);
  autoDown_ = Place(new QToolButton(behaviour), 64, 81, 25, 16);
  autoUp_->setArrowType(Qt::UpArrow);
  autoDown_->setArrowType(Qt::DownArrow);
  QObject::connect(autoUp_, &QToolButton::clicked, [this] { input_.AutoArrowClicked(true); });
  QObject::connect(autoDown_, &QToolButton::clicked, [this] { input_.AutoArrowClicked(false); });
  startAtLogin_ = box(behaviour, "ログイン時に起動", OptionBox::kStartAtLogin, 8, 112, 161, 25);

  setClock_ = box(time, "時刻あわせをする", OptionBox::kSetClock, 8, 16, 169, 17);
  timeMethodLabel_ = Place(new QLabel(QStringLiteral("設定方法"), time), 8, 48, 64, 16);
  ntpChoice_ = Place(new QRadioButton(QStringLiteral("NTP"), time), 72, 48, 64, 17);
  httpChoice_ = Place(new QRadioButton(QStringLiteral("HTTP"), time), 136, 48, 73, 17);
  QObject::connect(ntpChoice_, &QRadioButton::clicked, [this] { input_.TimeMethodChosen(false); });
  QObject::connect(httpChoice_, &QRadioButton::clicked, [this] { input_.TimeMethodChosen(true); });
  const auto server = [this, time](const char* caption, ServerField field, int y, QLabel*& label) {
    label = Place(new QLabel(QString::fromUtf8(caption), time), 8, y, 80, 24);
    label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    auto* edit = Place(new QLineEdit(time), 88, y, 113, 24);
    QObject::connect(edit, &QLineEdit::textEdited, [this, field](const QString& text) {
      input_.ServerEdited(field, text.toStdString());
    });
    return edit;
  };
  ntpServerField_ = server("NTPサーバー", ServerField::kNtp, 72, ntpLabel_);
  httpServerField_ = server("HTTPサーバー", ServerField::kHttp, 96, httpLabel_);
  proxyServerField_ = server("プロキシー", ServerField::kProxy, 120, proxyLabel_);

  ok_ = Place(new QPushButton(QStringLiteral("決定"), optionsGroup_), 8, 224, 89, 33);
  cancel_ = Place(new QPushButton(QStringLiteral("取り消し"), optionsGroup_), 136, 224, 89, 33);
  QObject::connect(ok_, &QPushButton::clicked, [this] { input_.OkClicked(); });
  QObject::connect(cancel_, &QPushButton::clicked, [this] { input_.CancelClicked(); });
}

void QtMainWindow::BuildAbout() {
  gbox_ = Place(new QGroupBox(this), 8, 8, 233, 257);
  gbox_->setFont(Face(kAboutFace, 16));
  auto* icon = Place(new QLabel(gbox_), 8, 8, 32, 32);
  icon->setPixmap(QPixmap::fromImage(AppIcon(32)));
  const auto label = [this](const char* text, int x, int y, int w, bool bold) {
    auto* l = Place(new QLabel(QString::fromUtf8(text), gbox_), x, y, w, 18);
    if (bold) l->setFont(Face(kAboutFace, 16, true));
    return l;
  };
  label("プログラム名", 40, 48, 100, false);
  label("Tsukio", 144, 48, 80, true);
  label("バージョン", 40, 80, 100, false);
  label(TSUKIO_VERSION, 144, 80, 60, true);
  auto* notice = Place(new QLabel(gbox_), 16, 104, 201, 62);
  notice->setFont(Face(kWindowFace, 12));
  notice->setAlignment(Qt::AlignCenter);
  notice->setWordWrap(true);
  notice->setText(QStringLiteral("© 2026 Quorv\nTsukio 開発チーム\n\n『月をめくる、毎日の暦』"));
  link_ = Place(new QLabel(gbox_), 8, 168, 217, 17);
  link_->setFont(Face(kWindowFace, 12));
  link_->setAlignment(Qt::AlignCenter);
  link_->setTextFormat(Qt::RichText);
  link_->setText(QStringLiteral("<a href=\"link\" style=\"color:#0000FF\">%1</a>")
                     .arg(QString::fromUtf8(TSUKIO_HOMEPAGE).toHtmlEscaped()));
  link_->setToolTip(QStringLiteral("最新情報"));
  link_->setCursor(Qt::PointingHandCursor);
  QObject::connect(link_, &QLabel::linkActivated, [this] { input_.LinkClicked(); });
}

QCheckBox& QtMainWindow::Box(OptionBox box) {
  switch (box) {
    case OptionBox::kMonth:
      return *showMonth_;
    case OptionBox::kWeekday:
      return *showWeekday_;
    case OptionBox::kClock:
      return *showClock_;
    case OptionBox::kWeekNumber:
      return *showWeekNumber_;
    case OptionBox::kTwelveHour:
      return *twelveHour_;
    case OptionBox::kAlmanac:
      return *showAlmanac_;
    case OptionBox::kMoon:
      return *showMoon_;
    case OptionBox::kAutoUpdate:
      return *autoUpdate_;
    case OptionBox::kSetClock:
      return *setClock_;
    case OptionBox::kStartAtLogin:
      return *startAtLogin_;
  }
  return *showMonth_;
}

QLineEdit& QtMainWindow::Server(ServerField field) {
  return field == ServerField::kNtp    ? *ntpServerField_
         : field == ServerField::kHttp ? *httpServerField_
                                       : *proxyServerField_;
}

void QtMainWindow::Render(const MainWindowModel& model) {
  setWindowTitle(QString::fromStdString(model.caption));
  const OptionsPanel& p = model.options;
  optionsShown_ = p.shown;

  calendar_->Render(model.calendar);
  calendar_->setVisible(model.view == View::kCalendar);
  gbox_->setVisible(model.view == View::kAbout);
  optionsGroup_->setVisible(p.shown);
  close_->setVisible(!p.shown);
  ok_->setDefault(p.shown);
  close_->setDefault(!p.shown);

  Show(showMonth_, p.showMonth.checked, p.showMonth.enabled);
  Show(showWeekday_, p.showWeekday.checked, p.showWeekday.enabled);
  Show(showClock_, p.showClock.checked, p.showClock.enabled);
  Show(showWeekNumber_, p.showWeekNumber.checked, p.showWeekNumber.enabled);
  Show(twelveHour_, p.twelveHour.checked, p.twelveHour.enabled);
  Show(showAlmanac_, p.showAlmanac.checked, p.showAlmanac.enabled);
  Show(showMoon_, p.showMoon.checked, p.showMoon.enabled);
  Show(autoUpdate_, p.autoUpdate.checked, p.autoUpdate.enabled);
  Show(setClock_, p.setClock.checked, p.setClock.enabled);
  Show(startAtLogin_, p.startAtLogin.checked, p.startAtLogin.enabled);
  weekRule_->setEnabled(p.weekRule.enabled);
  Show(isoChoice_, p.weekRuleIndex == 0, true);
  Show(usaChoice_, p.weekRuleIndex == 1, true);
  Show(ntpChoice_, !p.httpSelected, p.ntpChoice.enabled);
  Show(httpChoice_, p.httpSelected, p.httpChoice.enabled);
  autoUpdateLabel_->setEnabled(p.autoUpdateLabel.enabled);
  autoUpdateField_->setEnabled(p.autoUpdateField.enabled);
  autoUpdateField_->setText(QString::number(p.autoSeconds));
  autoUp_->setEnabled(p.autoUpdateArrows.enabled);
  autoDown_->setEnabled(p.autoUpdateArrows.enabled);
  timeMethodLabel_->setEnabled(p.timeMethodLabel.enabled);
  ntpLabel_->setEnabled(p.ntpLabel.enabled);
  httpLabel_->setEnabled(p.httpLabel.enabled);
  proxyLabel_->setEnabled(p.proxyLabel.enabled);
  const auto field = [](QLineEdit* edit, const TextField& model) {
    const QSignalBlocker block(edit);
    if (edit->text().toStdString() != model.text) edit->setText(QString::fromStdString(model.text));
    edit->setEnabled(model.enabled);
  };
  field(ntpServerField_, p.ntpServerField);
  field(httpServerField_, p.httpServerField);
  field(proxyServerField_, p.proxyServerField);
  {
    const QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(static_cast<int>(p.tab));
  }

  if (!model.visible) {
    hide();
    return;
  }
  // Drawn again while shown (a step of the calendar, a click in the options) it stays where
  // the user has put it; only a window that appears is centred and brought forward.
  if (isVisible()) return;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
  show();
  raise();
  activateWindow();
  if (!p.shown) close_->setFocus();
}

Image QtMainWindow::Picture(const MainWindowModel& model) {
  // Drawn without being shown: a picture needs no window on a screen.
  MainWindowModel unseen = model;
  unseen.visible = false;
  Render(unseen);
  const QImage shot = grab().toImage().convertToFormat(QImage::Format_ARGB32);
  Image picture(shot.width(), shot.height());
  for (int y = 0; y < shot.height(); ++y) {
    for (int x = 0; x < shot.width(); ++x) picture.at(x, y) = shot.pixel(x, y);
  }
  return picture;
}

void QtMainWindow::Close() {
  QCoreApplication::exit(0);
}

void QtMainWindow::ShowError(std::string_view message) {
  QMessageBox::critical(isVisible() ? this : nullptr, QStringLiteral("Tsukio"), Text(message));
}

void QtMainWindow::OpenUrl(std::string_view address) {
  QDesktopServices::openUrl(QUrl(Text(address)));
}

int QtMainWindow::DisplayDpi() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen ? static_cast<int>(std::lround(screen->logicalDotsPerInchY())) : 96;
}

// The window manager's close hides the window, as とじる does; the program goes on.
void QtMainWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  if (optionsShown_) {
    input_.CancelClicked();
  } else {
    input_.CloseClicked();
  }
}

// Enter and Esc reach 決定 and 取り消し while the options are shown, else とじる.
void QtMainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (event->key() == Qt::Key_Escape) {
    optionsShown_ ? input_.CancelClicked() : input_.CloseClicked();
    return;
  }
  if (enter) {
    optionsShown_ ? input_.OkClicked() : input_.CloseClicked();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace tsukio
