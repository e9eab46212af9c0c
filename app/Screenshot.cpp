#include "Screenshot.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <string>

#include "AppPaths.h"
#include "EventLog.h"
#include "ImageBrowser.h"
#include "MainWindow.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Selects the tree node of the image, as a click would, and loads the
// image if the selection did not.
void SelectImage(TMainApplicationForm& window, const std::string& image) {
  QTreeWidget* tree = window.DirTreeView();
  const QString name = QString::fromStdString(FileNameOf(image));
  for (QTreeWidgetItem* node : tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive)) {
    tree->setCurrentItem(node);
    break;
  }
  if (window.CurrentImage() == nullptr) window.LoadImageIntoWorkspace(image);
}

}  // namespace

bool ScheduleScreenshot(TMainApplicationForm& window) {
  const std::string out = Environment("STRANDEX_SCREENSHOT");
  if (out.empty()) return false;
  if (const std::string image = Environment("STRANDEX_SCREENSHOT_IMAGE"); !image.empty())
    SelectImage(window, image);
  const QString part = QString::fromStdString(Environment("STRANDEX_SCREENSHOT_WIDGET"));
  QWidget* target = part.isEmpty() ? &window : window.findChild<QWidget*>(part);
  if (target == nullptr) {
    LogMessage("ERROR: no part of the window is named " + part.toStdString() + "!!!");
    QTimer::singleShot(0, &window, [&window] { window.close(); });
    return true;
  }
  if (target->isWindow() && target != &window) target->show();  // a dialog
  const int width = std::atoi(Environment("STRANDEX_SCREENSHOT_WIDTH").c_str());
  // Give the layout and the first paints time to settle.
  QTimer::singleShot(300, &window, [&window, target, out, width] {
    // A picture label gives the picture it shows, without its margins.
    const auto* label = qobject_cast<QLabel*>(target);
    QPixmap picture = label != nullptr && !label->pixmap().isNull() ? label->pixmap() : target->grab();
    if (width > 0 && picture.width() > width)
      picture = picture.scaledToWidth(width, Qt::SmoothTransformation);
    if (!picture.save(QString::fromStdString(out), "PNG"))
      LogMessage("ERROR: unable to save the picture " + out + "!!!");
    if (target != &window) target->close();
    window.close();
  });
  return true;
}
