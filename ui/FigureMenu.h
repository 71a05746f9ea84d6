#pragma once

#include "GeneralData.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class QShortcut;
class QWidget;

namespace brelloc {

// The file formats a figure can be saved in.
enum class FigureFormat { Png, Svg, Pdf };

// Where and how large to save the figure.
struct FigureTarget {
    QString path;
    FigureFormat format = FigureFormat::Png;
    int size = 0; // side in pixels
};

// Takes the drawn flow net out to other programs: a right click on it (or
// the Menu key) offers to copy it (as a picture and as SVG, so word
// processors and drawing programs both take it) or to save it as PNG, SVG
// or PDF through the exporter's renderers; Ctrl+Shift+C copies it at once.
// Nothing is offered while no net is drawn.
class FigureMenu : public QObject {
public:
    // The data of the net drawn in the window, or nullptr while none is.
    using ShownFigure = std::function<const GeneralData*()>;
    // The drawn net's square in the window's coordinates.
    using ShownArea = std::function<QRect()>;
    // Asks where to save and at which size; nothing when cancelled. Tests
    // put a stand-in here.
    using Chooser = std::function<std::optional<FigureTarget>(QWidget* parent, int defaultSize)>;
    using ErrorReporter = std::function<void(const QString& message)>;

    // The window gets the right click and the shortcut; keys typed into
    // keyTarget (the focused editor) are watched for the Menu key.
    FigureMenu(QWidget* window, QWidget* keyTarget, ShownFigure figure, ShownArea area,
               ErrorReporter reportError);

    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

    // The menu as last offered (for tests); it stays hidden until offered.
    QMenu* Menu() const { return menu_; }
    QAction* CopyAction() const { return copy_; }
    QAction* SaveAction() const { return save_; }

    // Each does nothing while no net is drawn.
    void CopyFigure();
    void SaveFigureAs();

    // The side of the copied picture and the size first proposed for a file.
    static constexpr int kDefaultSize = 800;

    // The format a file name's extension names, if any.
    static std::optional<FigureFormat> FormatOfPath(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Offers the menu at a point of the window; false while no net is drawn.
    bool Offer(const QPoint& globalPosition);

    QWidget* window_;
    QWidget* keyTarget_;
    ShownFigure figure_;
    ShownArea area_;
    ErrorReporter reportError_;
    Chooser chooser_;
    QMenu* menu_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* save_ = nullptr;
};

// The real chooser: the file dialog with the three formats and a spin box
// for the size below it.
std::optional<FigureTarget> ChooseFigureFile(QWidget* parent, int defaultSize);

} // namespace brelloc
