#pragma once
// The picture lists shared by all windows: the command pictures and the gutter glyphs.
//
// Command pictures come from the desktop's icon theme; where the theme has no picture (or
// there is no theme at all, as on a bare machine or offscreen), a fallback drawn here in code
// takes its place, so every command always shows a picture. The gutter glyphs keep their
// fixed indexes (TGutterGlyph).

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>

// The picture of each command, by index.
enum TIconIndex {
    iiNew, iiOpen, iiSave, iiSaveAs, iiPreview, iiPrint, iiExit, iiHelp, iiAbout,
    iiCompile, iiRun, iiStepOver, iiStop, iiBreakPoint,
    iiCascade, iiHorizontal, iiVertical, iiMinimize, iiNormalize, iiMaximize, iiClose,
    iiCodeFormat, iiKirdaToCode, iiSetupEditor, iiSetupDefault,
    iiUndo, iiRedo, iiCopy, iiCut, iiPaste, iiSearch, iiReplace, iiSearchNext, iiSearchPrior,
    IconCount
};

class TdtmImages : public QObject {
    Q_OBJECT
public:
    // Fills both lists; the first one created becomes Instance() until it is destroyed.
    explicit TdtmImages(QObject *parent = nullptr);
    ~TdtmImages() override;

    // The data module of the running program; null before it is created.
    static TdtmImages *Instance();

    QList<QIcon> imlIcons;      // by TIconIndex
    QList<QPixmap> imlGlyphs;   // by TGutterGlyph, 11 x 14 pixels

    QIcon Icon(int index) const { return index >= 0 && index < imlIcons.size() ? imlIcons[index] : QIcon(); }
    QPixmap Glyph(int index) const {
        return index >= 0 && index < imlGlyphs.size() ? imlGlyphs[index] : QPixmap();
    }

    // The freedesktop icon name asked of the theme for a command picture.
    static QString ThemeIconName(int index);
    // The picture drawn in code (16 and 24 pixels) for a command.
    static QIcon FallbackIcon(int index);
};
