#pragma once
// TPMultiImage, the program's picture control. Assigning ImageName loads a file, the reader
// chosen by its extension: BMP, JPEG, PNG, GIF, TIFF and PCX through the imaging back end,
// Windows metafiles and icons through the picture classes, ".RES" names a bitmap resource of
// the program, ".SCM" and ".CMS" start a text banner. The control paints the picture plain,
// centred, stretched or stretched keeping its aspect ratio, with an optional overlay text;
// writes it in the six raster formats; and exchanges it with the clipboard.
//
// Failures are told to the user in message boxes: the back end's own message first, then
// the control's ("Reading jpg file failed", "Writing png file failed", ...).

#include "Banner.h"
#include "ImageLib.h"
#include "ImageRules.h"
#include "TPicture.h"

#include <QPixmap>
#include <QWidget>

enum TBorderStyle
{
    bsNone,
    bsSingle
};

class TPMultiImage : public QWidget
{
    Q_OBJECT
public:
    explicit TPMultiImage(QWidget* parent = nullptr);
    ~TPMultiImage() override;

    // Loading. The path is in Windows form ("D:\CAT\ROSE.JPG").
    QString ImageName() const { return m_imageName; }
    // Stores the path and loads it. A metafile or icon that cannot be read raises
    // Standard_Error after the picture has been emptied.
    void Set_ImageName(const QString& path);

    // A JPEG is decoded at the smallest DCT scale (1/2, 1/4, 1/8) whose picture still covers
    // this size, so that a view showing it smaller than its size decodes no more than it
    // shows. Empty (the default): full size.
    QSize DecodeTarget() const { return m_decodeTarget; }
    void Set_DecodeTarget(QSize size) { m_decodeTarget = size; }

    const TPicture& Picture() const { return m_picture; }
    // Takes the picture and runs the picture-changed step.
    void Set_Picture(const TPicture& picture);
    // What the last load learnt about the file.
    const Picture_Info_Block& Info() const { return m_info; }

    // Saving: a non-empty file name is stored into DefSaveFilename first; the picture is
    // written to DefSaveFilename.
    void SaveAsBMP(const QString& fileName = {});
    void SaveAsPNG(const QString& fileName = {});
    void SaveAsJPG(const QString& fileName = {});
    void SaveAsGIF(const QString& fileName = {});
    void SaveAsTIF(const QString& fileName = {});
    void SaveAsPCX(const QString& fileName = {});
    QString DefSaveFilename() const { return m_defSaveFilename; }
    void Set_DefSaveFilename(const QString& name) { m_defSaveFilename = name; }

    // Clipboard. A bitmap or icon goes as an image; a metafile as its bytes (image/x-wmf)
    // and as an image drawn at its size. Paste takes a metafile or an image.
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();

    // The window messages that step the banners (Banner_Scroll_Message,
    // Banner_Lines_Message); other messages are ignored.
    void Banner_Message(int message);
    const Text_Banner& Banner() const { return m_banner; }

    // The screen colour depth the automatic resolutions use: 4, 8 or 24.
    int Screen_Depth() const;

    // Properties.
    bool AutoSize() const { return m_autoSize; }
    void Set_AutoSize(bool on); // always runs the picture-changed step
    bool Center() const { return m_center; }
    void Set_Center(bool on);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void Set_BorderStyle(TBorderStyle style);
    bool Stretch() const { return m_stretch; }
    void Set_Stretch(bool on); // true clears StretchRatio
    bool StretchRatio() const { return m_stretchRatio; }
    void Set_StretchRatio(bool on); // true clears Stretch
    bool ImageLibPalette() const { return m_imageLibPalette; }
    void Set_ImageLibPalette(bool on) { m_imageLibPalette = on; }
    bool ImageDither() const { return m_imageDither; }
    void Set_ImageDither(bool on) { m_imageDither = on; }
    TLoadResolution ImageReadRes() const { return m_readRes; }
    void Set_ImageReadRes(TLoadResolution res) { m_readRes = res; }
    TSaveResolution ImageWriteRes() const { return m_writeRes; }
    void Set_ImageWriteRes(TSaveResolution res) { m_writeRes = res; }
    TTiffCompression TifSaveCompress() const { return m_tiffCompress; }
    void Set_TifSaveCompress(TTiffCompression c) { m_tiffCompress = c; }
    int JPegSaveQuality() const { return m_jpegQuality; }
    void Set_JPegSaveQuality(int quality); // outside 1..100 stores 25
    int JPegSaveSmooth() const { return m_jpegSmooth; }
    void Set_JPegSaveSmooth(int smoothing); // outside 0..100 stores 5
    bool PNGInterLaced() const { return m_pngInterlaced; }
    void Set_PNGInterLaced(bool on) { m_pngInterlaced = on; }
    bool UseTwainWindow() const { return m_useTwainWindow; }
    void Set_UseTwainWindow(bool on) { m_useTwainWindow = on; }

    // The overlay text, drawn in the control's font; its colour is the palette's WindowText.
    QString Text() const { return m_text; }
    void Set_Text(const QString& text);
    bool TextShadow() const { return m_textShadow; }
    void Set_TextShadow(bool on);
    QColor TextShadowColor() const { return m_textShadowColor; }
    void Set_TextShadowColor(QColor c) { m_textShadowColor = c; }
    int TextLeft() const { return m_textLeft; }
    void Set_TextLeft(int x);
    int TextTop() const { return m_textTop; }
    void Set_TextTop(int y);
    int TextRotate() const { return m_textRotate; }
    void Set_TextRotate(int degrees); // counter-clockwise
    bool TextTransParent() const { return m_textTransparent; }
    void Set_TextTransParent(bool on);

    // The background colour (the system's button face colour at construction).
    QColor Color() const;
    void Set_Color(QColor colour);

    // The client rectangle (inside the border).
    QRect Client_Rect() const { return contentsRect(); }

signals:
    void OnClick();
    void OnDblClick();
    // After the control has painted itself, with its painter.
    void OnPaint(QPainter* canvas);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void Load(const QString& path);
    void Load_With_Library(const QString& path, Image_Rules::Load_Branch branch);
    void Load_Metafile_Or_Icon(const QString& path, Image_Rules::Load_Branch branch);
    void Load_Resource(const QString& path);
    void Start_Banner(const QString& path, Image_Rules::Load_Branch branch);
    void Save(Image_Rules::Save_Format format, const QString& fileName);
    void Picture_Changed();
    void Set_Flag(bool& flag, bool on);

    void Paint_Picture(QPainter& painter, QRect client);
    void Paint_Text(QPainter& painter);

    QString m_imageName;
    QSize m_decodeTarget;
    TPicture m_picture;
    Picture_Info_Block m_info;
    Text_Banner m_banner;
    QString m_defSaveFilename;

    bool m_autoSize = false;
    bool m_center = false;
    TBorderStyle m_borderStyle = bsNone;
    bool m_stretch = false;
    bool m_stretchRatio = false;
    bool m_imageLibPalette = true;
    bool m_imageDither = true;
    TLoadResolution m_readRes = lAutoMatic;
    TSaveResolution m_writeRes = sAutoMatic;
    TTiffCompression m_tiffCompress = sNONE;
    int m_jpegQuality = 25;
    int m_jpegSmooth = 0;
    bool m_pngInterlaced = false;
    bool m_useTwainWindow = true;
    QString m_text;
    bool m_textShadow = false;
    QColor m_textShadowColor = Qt::black;
    int m_textLeft = 0;
    int m_textTop = 0;
    int m_textRotate = 0;
    bool m_textTransparent = true;

    // The bitmap as last drawn, kept while the picture and the rectangle stay the same.
    struct Drawn
    {
        quint64 Generation = 0;
        QRect Target;
        QRect Visible;
        bool Smooth = false;
        QPixmap Pixmap;
    } m_drawn;
};
