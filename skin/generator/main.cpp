// SPDX-License-Identifier: GPL-3.0-or-later
// Draws every picture of the skin into a folder and writes the resource collection that lists
// them. Runs at build time, without a display.
//
//   lumbra-skin-gen OUTDIR [--preview FOLDER]
//   lumbra-skin-gen --list        prints the catalogue as a table
//
// OUTDIR receives png/<id>.png, bmp/<id>.png, icon/387*.png, skin.qrc, glyph_advances.inc (the
// advances of the glyph strips' characters) and atlas_places.inc (where each key cap sits in the
// key caps' atlas, png/<kKeyCapAtlasPng>.png). Every PNG and bitmap
// picture is drawn a second time with twice the pixels, png/<id>@2x.png and bmp/<id>@2x.png
// (listed in skin2x.qrc), for screens with more device pixels than logical ones. With --preview the
// contact sheets and window mock-ups are written to FOLDER as well.

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSaveFile>
#include <QSet>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

#include "skin/SkinResources.h"
#include "skin/generator/Atlas.h"
#include "skin/generator/Paint.h"
#include "skin/generator/Pictures.h"
#include "skin/generator/Preview.h"

namespace {

bool Save(const QImage& image, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!image.save(&file, "PNG")) return false;
    return file.commit();
}

void PrintCatalogue() {
    std::printf(
        "| id | kind | frames | frame size | picture size | shows |\n|---|---|---|---|---|---|\n");
    for (const skin::Picture& picture : skin::Catalogue()) {
        const char* kind = picture.kind == skin::Kind::kPng
                               ? "PNG"
                               : (picture.kind == skin::Kind::kBitmap ? "BITMAP" : "icon");
        std::printf("| %d | %s | %d | %d x %d | %d x %d | %s |\n", picture.id, kind, picture.frames,
                    picture.frameSize.width(), picture.frameSize.height(),
                    picture.frames * picture.frameSize.width(), picture.frameSize.height(),
                    qPrintable(QString(picture.text).replace(QLatin1Char('\n'), QLatin1Char(' '))));
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: lumbra-skin-gen OUTDIR [--preview FOLDER]\n");
        return 2;
    }
    if (args.at(1) == QLatin1String("--list")) {
        PrintCatalogue();
        return 0;
    }
    const QString out = args.at(1);
    QString preview;
    const int previewAt = args.indexOf(QStringLiteral("--preview"));
    if (previewAt > 0 && previewAt + 1 < args.size()) preview = args.at(previewAt + 1);

    for (const char* sub : {"png", "bmp", "icon"}) QDir().mkpath(out + QLatin1Char('/') + sub);
    if (skin::UiFamily() != QLatin1String("WenQuanYi Micro Hei")) {
        std::fprintf(stderr, "lumbra-skin-gen: WenQuanYi Micro Hei not found, using %s\n",
                     qPrintable(skin::UiFamily()));
    }

    QSet<int> keyCaps;
    for (const skin::KeyArt& key : skin::Keys()) keyCaps.insert(key.pngId);
    QMap<int, QImage> keyCaps1x, keyCaps2x;
    QMap<int, QSize> keyCapSizes;

    skin::RenderedSet rendered;
    QString qrc, doubleQrc;
    QTextStream qrcText(&qrc), doubleQrcText(&doubleQrc);
    qrcText << "<RCC>\n  <qresource prefix=\"/skin\">\n";
    doubleQrcText << "<RCC>\n  <qresource prefix=\"/skin\">\n";
    for (const skin::Picture& picture : skin::Catalogue()) {
        const QImage image = picture.render();
        const QString name = skin::ResourceName(picture);
        if (!Save(image, out + QLatin1Char('/') + name)) {
            std::fprintf(stderr, "lumbra-skin-gen: cannot write %s\n", qPrintable(name));
            return 1;
        }
        rendered.insert(name, image);
        qrcText << "    <file>" << name << "</file>\n";
        if (picture.kind == skin::Kind::kIcon) continue;
        skin::SetRenderScale(2);
        const QImage doubled = picture.render();
        skin::SetRenderScale(1);
        const QString doubleName = skin::DoubleResourceName(picture);
        if (doubled.size() != image.size() * 2 ||
            !Save(doubled, out + QLatin1Char('/') + doubleName)) {
            std::fprintf(stderr, "lumbra-skin-gen: cannot write %s\n", qPrintable(doubleName));
            return 1;
        }
        doubleQrcText << "    <file>" << doubleName << "</file>\n";
        if (picture.kind == skin::Kind::kPng && keyCaps.contains(picture.id)) {
            keyCaps1x.insert(picture.id, image);
            keyCaps2x.insert(picture.id, doubled);
            keyCapSizes.insert(picture.id, image.size());
        }
    }

    // The key caps once more, packed into one picture that the main window decodes instead of
    // a hundred, with where each one sits.
    const std::vector<skin::AtlasPlace> places = skin::PackAtlas(keyCapSizes, 512);
    const QString atlasName = QStringLiteral("png/%1.png").arg(lumbra::kKeyCapAtlasPng);
    const QString atlasDoubleName = QStringLiteral("png/%1@2x.png").arg(lumbra::kKeyCapAtlasPng);
    if (!Save(skin::DrawAtlas(places, keyCaps1x, 1), out + QLatin1Char('/') + atlasName) ||
        !Save(skin::DrawAtlas(places, keyCaps2x, 2), out + QLatin1Char('/') + atlasDoubleName)) {
        std::fprintf(stderr, "lumbra-skin-gen: cannot write the key caps' atlas\n");
        return 1;
    }
    qrcText << "    <file>" << atlasName << "</file>\n";
    doubleQrcText << "    <file>" << atlasDoubleName << "</file>\n";
    QString placesText;
    for (const skin::AtlasPlace& p : places)
        placesText += QStringLiteral("{%1, %2, %3, %4, %5},\n")
                          .arg(p.id)
                          .arg(p.place.x())
                          .arg(p.place.y())
                          .arg(p.place.width())
                          .arg(p.place.height());
    for (int size : skin::kIconSizes) {
        const QString name = QStringLiteral("icon/387-%1.png").arg(size);
        if (!Save(skin::RenderIcon(size), out + QLatin1Char('/') + name)) {
            std::fprintf(stderr, "lumbra-skin-gen: cannot write %s\n", qPrintable(name));
            return 1;
        }
        qrcText << "    <file>" << name << "</file>\n";
    }
    qrcText << "  </qresource>\n</RCC>\n";
    qrcText.flush();
    doubleQrcText << "  </qresource>\n</RCC>\n";
    doubleQrcText.flush();

    // The pictures with twice the pixels are a collection of their own, so that their bytes
    // sit apart from the ones every start reads.
    for (const auto& [name, text] : {std::pair{QStringLiteral("skin.qrc"), qrc},
                                     std::pair{QStringLiteral("skin2x.qrc"), doubleQrc}}) {
        QSaveFile qrcFile(out + QLatin1Char('/') + name);
        if (!qrcFile.open(QIODevice::WriteOnly) || qrcFile.write(text.toUtf8()) < 0 ||
            !qrcFile.commit()) {
            std::fprintf(stderr, "lumbra-skin-gen: cannot write %s\n", qPrintable(name));
            return 1;
        }
    }

    QSaveFile placesFile(out + QStringLiteral("/atlas_places.inc"));
    if (!placesFile.open(QIODevice::WriteOnly) || placesFile.write(placesText.toUtf8()) < 0 ||
        !placesFile.commit()) {
        std::fprintf(stderr, "lumbra-skin-gen: cannot write atlas_places.inc\n");
        return 1;
    }

    // The program lays out the glyph strips' characters with the advances measured here.
    QString advances;
    for (int advance : skin::MeasureGlyphAdvances()) advances += QString::number(advance) + ",\n";
    QSaveFile advancesFile(out + QStringLiteral("/glyph_advances.inc"));
    if (!advancesFile.open(QIODevice::WriteOnly) || advancesFile.write(advances.toUtf8()) < 0 ||
        !advancesFile.commit()) {
        std::fprintf(stderr, "lumbra-skin-gen: cannot write glyph_advances.inc\n");
        return 1;
    }

    if (!preview.isEmpty() && !skin::WritePreviews(rendered, preview)) {
        std::fprintf(stderr, "lumbra-skin-gen: cannot write the previews\n");
        return 1;
    }
    return 0;
}
