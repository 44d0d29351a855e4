// The smallest Qt tray program: one icon, nothing else. tsukio's memory is measured beside it.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::white);
  QSystemTrayIcon icon{QIcon(pixmap)};
  icon.setToolTip(QStringLiteral("baseline"));
  icon.show();
  return QApplication::exec();
}
