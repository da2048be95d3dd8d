// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/gen/pictures.h"

#include "ui/qt_text.h"

#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <stdexcept>

namespace arrowsel::sampledata {

using ui::toQt;

namespace {

const char* const kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
};

QString family;

QFont font(int pixels, bool bold = false) {
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

void save(const QImage& image, const std::filesystem::path& file) {
    QImageWriter w(QString::fromStdString(file.string()), "jpg");
    w.setQuality(kJpegQuality);
    w.setOptimizedWrite(false);
    w.setProgressiveScanWrite(false);
    if (!w.write(image.convertToFormat(QImage::Format_RGB32))) {
        throw std::runtime_error("cannot write " + file.string() + ": " + w.errorString().toStdString());
    }
}

QImage canvas(int w, int h, QColor fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

void drawArrow(QPainter& p, QPointF tail, QPointF tip, QColor shaft, double thickness) {
    const QLineF line(tail, tip);
    const double a = line.angle();
    p.setPen(QPen(shaft, thickness, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(line);
    QLineF head1 = QLineF::fromPolar(thickness * 5, a + 160).translated(tip);
    QLineF head2 = QLineF::fromPolar(thickness * 5, a - 160).translated(tip);
    QPainterPath headPath;
    headPath.moveTo(tip);
    headPath.lineTo(head1.p2());
    headPath.lineTo(head2.p2());
    headPath.closeSubpath();
    p.fillPath(headPath, QColor(60, 60, 60));
    for (int i = 0; i < 3; ++i) {
        const QPointF base = line.pointAt(0.02 + 0.04 * i);
        QLineF vane = QLineF::fromPolar(thickness * 3.5, a + 135).translated(base);
        QLineF vane2 = QLineF::fromPolar(thickness * 3.5, a - 135).translated(base);
        p.setPen(QPen(QColor(200, 40, 40), thickness * 0.8));
        p.drawLine(vane);
        p.drawLine(vane2);
    }
}

void drawTarget(QPainter& p, QPointF centre, double radius) {
    const QColor rings[] = {QColor(245, 245, 245), QColor(40, 40, 40), QColor(40, 110, 200), QColor(210, 50, 50),
                            QColor(250, 210, 40)};
    for (int i = 0; i < 5; ++i) {
        const double r = radius * (5 - i) / 5.0;
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(rings[i]);
        p.drawEllipse(centre, r, r);
    }
    p.setBrush(Qt::NoBrush);
}

void drawSplash(const std::filesystem::path& dir) {
    QImage img = canvas(400, 260, Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 260);
    sky.setColorAt(0, QColor(24, 60, 96));
    sky.setColorAt(1, QColor(120, 150, 90));
    p.fillRect(img.rect(), sky);
    drawTarget(p, QPointF(322, 132), 60);
    drawArrow(p, QPointF(30, 200), QPointF(312, 128), QColor(230, 230, 230), 3.5);
    p.setPen(Qt::white);
    p.setFont(font(38, true));
    p.drawText(QRect(20, 14, 360, 54), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("2009 Season"));
    p.setFont(font(15));
    p.drawText(QRect(22, 68, 360, 22), Qt::AlignLeft, QStringLiteral("Arrow shaft selector"));
    p.setFont(font(11));
    p.drawText(QRect(22, 232, 370, 20), Qt::AlignLeft,
               QStringLiteral("Sample charts and models: our own data, not a maker's chart"));
    p.end();
    save(img, dir / "splash.jpg");
}

void drawAbout(const std::filesystem::path& dir) {
    QImage img = canvas(300, 160, QColor(236, 240, 232));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    drawTarget(p, QPointF(84, 80), 62);
    drawArrow(p, QPointF(8, 150), QPointF(80, 84), QColor(60, 60, 60), 2.5);
    p.setPen(QColor(30, 30, 30));
    p.setFont(font(20, true));
    p.drawText(QRect(160, 48, 136, 28), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("arrowsel"));
    p.setFont(font(12));
    p.drawText(QRect(160, 80, 136, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("sample data"));
    p.end();
    save(img, dir / "about.jpg");
}

// A game animal drawn from ellipses; `scale` grows with the class of game.
void drawAnimal(QPainter& p, QPointF at, double scale, QColor coat, bool antlers, bool humped) {
    p.setPen(Qt::NoPen);
    p.setBrush(coat);
    const double bw = 46 * scale;
    const double bh = 24 * scale;
    p.drawEllipse(QPointF(at.x(), at.y()), bw / 2, bh / 2);
    if (humped) {
        p.drawEllipse(QPointF(at.x() - bw * 0.18, at.y() - bh * 0.45), bw * 0.28, bh * 0.4);
    }
    const QPointF head(at.x() + bw * 0.55, at.y() - bh * 0.55);
    p.drawEllipse(head, 9 * scale, 7 * scale);
    for (double lx : {-0.32, -0.18, 0.2, 0.32}) {
        p.drawRect(QRectF(at.x() + bw * lx - 2 * scale, at.y(), 4 * scale, bh * 0.95));
    }
    if (antlers) {
        p.setPen(QPen(coat.darker(140), 2 * scale));
        p.drawLine(head + QPointF(0, -5 * scale), head + QPointF(-6 * scale, -18 * scale));
        p.drawLine(head + QPointF(0, -5 * scale), head + QPointF(8 * scale, -18 * scale));
        p.drawLine(head + QPointF(-3 * scale, -11 * scale), head + QPointF(-12 * scale, -14 * scale));
        p.setPen(Qt::NoPen);
    }
    p.setBrush(Qt::NoBrush);
}

struct GameList {
    const char* file = nullptr;
    const char* title = nullptr;
    const char* band = nullptr;
    QColor ground;
    QColor coat;
    double scale = 0;
    bool antlers = false;
    bool humped = false;
};

void drawGameLists(const std::filesystem::path& dir) {
    const GameList lists[] = {
        {"small", "Small Game", "under 25 ft-lb", QColor(170, 200, 120), QColor(140, 110, 80), 0.55, false, false},
        {"medium", "Medium Game", "25 to 40 ft-lb", QColor(160, 190, 110), QColor(150, 100, 60), 0.8, false, false},
        {"big", "Big Game", "41 to 64 ft-lb", QColor(140, 170, 100), QColor(130, 90, 50), 1.0, true, false},
        {"tough", "Largest Game", "65 to 200 ft-lb", QColor(150, 150, 110), QColor(80, 60, 40), 1.25, true, true},
        {"tanks", "Tanks", "over 200 ft-lb", QColor(150, 140, 120), QColor(60, 45, 35), 1.45, false, true},
    };
    for (const auto& l : lists) {
        for (int frame = 1; frame <= 3; ++frame) {
            QImage img = canvas(150, 150, Qt::white);
            QPainter p(&img);
            p.setRenderHint(QPainter::Antialiasing);
            QLinearGradient g(0, 0, 0, 150);
            g.setColorAt(0, QColor(200, 225, 245).darker(100 + 8 * (frame - 1)));
            g.setColorAt(0.55, QColor(200, 225, 245));
            g.setColorAt(0.56, l.ground);
            g.setColorAt(1, l.ground.darker(120));
            p.fillRect(img.rect(), g);
            const double x = 62 + 6 * (frame - 2);
            drawAnimal(p, QPointF(x, 96), l.scale, l.coat, l.antlers, l.humped);
            // The arrow flies in over three pictures.
            const double reach = 0.4 + 0.3 * frame;
            drawArrow(p, QPointF(4, 40), QPointF(4 + (x - 4) * reach, 40 + (92 - 40) * reach), QColor(40, 40, 40), 1.6);
            p.setPen(QColor(20, 20, 20));
            p.setFont(font(14, true));
            p.drawText(QRect(0, 4, 150, 18), Qt::AlignCenter, QString::fromLatin1(l.title));
            p.setFont(font(11));
            p.drawText(QRect(0, 130, 150, 16), Qt::AlignCenter, QString::fromLatin1(l.band));
            p.end();
            save(img, dir / (std::string("ke_") + l.file + std::to_string(frame) + ".jpg"));
        }
    }
}

// The guide pages: each a list of sections (one per line of shafts) flowing down in columns.
struct Section {
    std::string title;
    std::vector<const Shaft*> shafts;
    bool targetModels = false;
};

void drawGuide(const std::filesystem::path& file, int w, int h, const std::string& title,
               const std::vector<Section>& sections, int columns) {
    QImage img = canvas(w, h, QColor(252, 252, 248));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(0, 0, w, 86), QColor(24, 60, 96));
    p.setPen(Qt::white);
    p.setFont(font(34, true));
    p.drawText(QRect(30, 8, w - 60, 46), Qt::AlignLeft | Qt::AlignVCenter, toQt(title));
    p.setFont(font(15));
    p.drawText(QRect(32, 52, w - 60, 26), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Sample catalogue: our own models, computed from tube physics. Not a maker's chart."));

    const int margin = 30;
    const int gap = 30;
    const int colWidth = (w - 2 * margin - (columns - 1) * gap) / columns;
    const int rowH = 21;
    const int top = 110;
    const int bottom = h - 70;
    const double cols[] = {0.0, 0.16, 0.33, 0.55, 0.72, 0.86};
    const char* heads[] = {"Size", "Spine", "Grains/in", "OD in", "Wall in", "Models"};
    int col = 0;
    int y = top;
    auto x0 = [&] { return margin + col * (colWidth + gap); };
    auto need = [&](int rows) {
        if (y + rows * rowH > bottom) {
            ++col;
            y = top;
            if (col >= columns) {
                throw std::runtime_error("the guide " + file.filename().string() + " does not fit its page");
            }
        }
    };
    for (const auto& s : sections) {
        need(4);
        p.fillRect(QRect(x0(), y, colWidth, rowH + 6), QColor(200, 215, 230));
        p.setPen(QColor(20, 30, 50));
        p.setFont(font(16, true));
        p.drawText(QRect(x0() + 8, y, colWidth - 16, rowH + 6), Qt::AlignLeft | Qt::AlignVCenter, toQt(s.title));
        y += rowH + 8;
        p.setFont(font(13, true));
        for (int i = 0; i < 6; ++i) {
            p.drawText(QRect(x0() + 8 + static_cast<int>(cols[i] * colWidth), y, 160, rowH),
                       Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(heads[i]));
        }
        y += rowH;
        p.setFont(font(13));
        int n = 0;
        for (const Shaft* sh : s.shafts) {
            need(1);
            if (n++ % 2 == 0) {
                p.fillRect(QRect(x0(), y, colWidth, rowH), QColor(238, 242, 236));
            }
            const std::string gpi =
                sh->twoModel() ? fixed(sh->gpi, 2) + " / " + fixed(sh->gpiTwin, 2) : fixed(sh->gpi, 2);
            std::string models = s.targetModels ? sh->tmodels() : sh->hmodels();
            if (!sh->made) {
                models = "(not made)";
            }
            const std::string cells[] = {sh->size, sh->spineText(), gpi, fixed(sh->od, 3), fixed(sh->wall, 3), models};
            p.setPen(QColor(20, 20, 20));
            for (int i = 0; i < 6; ++i) {
                p.drawText(QRect(x0() + 8 + static_cast<int>(cols[i] * colWidth), y, 200, rowH),
                           Qt::AlignLeft | Qt::AlignVCenter, toQt(cells[i]));
            }
            y += rowH;
        }
        y += 14;
    }
    p.setPen(QColor(60, 60, 60));
    p.setFont(font(13));
    p.drawText(QRect(margin, h - 62, w - 2 * margin, 54), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Spine: deflection in inches under 1.94 lb hung at the centre of a 28 in span. "
                              "Two grain weights: the plain shaft and its film-coated KV63 twin. "
                              "Generated by arrowsel's sample-data tool; see sampledata/README.md."));
    p.end();
    save(img, file);
}

std::vector<const Shaft*> operator+(std::vector<const Shaft*> a, const std::vector<const Shaft*>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

const std::vector<PictureFile>& pictureFiles() {
    static const std::vector<PictureFile> files = [] {
        std::vector<PictureFile> v = {{"splash.jpg", 400, 260}, {"about.jpg", 300, 160}};
        for (const char* l : {"small", "medium", "big", "tough", "tanks"}) {
            for (int i = 1; i <= 3; ++i) {
                v.push_back({std::string("ke_") + l + std::to_string(i) + ".jpg", 150, 150});
            }
        }
        v.push_back({"guide_hunt.jpg", 1204, 1580});
        v.push_back({"guide_target_youth.jpg", 1200, 1559});
        v.push_back({"guide_orvik.jpg", 1172, 1118});
        return v;
    }();
    return files;
}

bool loadPictureFonts(std::string* missing) {
    for (const char* f : kFontFiles) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(f));
        if (id < 0) {
            if (missing) {
                *missing = f;
            }
            return false;
        }
        if (family.isEmpty()) {
            family = QFontDatabase::applicationFontFamilies(id).value(0);
        }
    }
    return true;
}

void writePictures(const Catalogue& c, const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    drawSplash(dir);
    drawAbout(dir);
    drawGameLists(dir);
    const auto name = [&](const char* code) { return c.lineInfo(code).name; };
    drawGuide(dir / "guide_hunt.jpg", 1204, 1580, "2009 Hunting Shaft Models",
              {{"Aluminum: " + name("AL"), c.line("AL"), false},
               {"Carbon: " + name("TL"), c.line("TL"), false},
               {"Aluminum/carbon: " + name("VR"), c.line("VR"), false}},
              2);
    drawGuide(dir / "guide_target_youth.jpg", 1200, 1559, "2009 Target and Youth Shaft Models",
              {{"Target aluminum: " + name("VT"), c.line("VT"), true},
               {"Aluminum: " + name("AL"), c.line("AL"), true},
               {"Carbon and aluminum/carbon", c.line("TL") + c.line("VR"), true},
               {"Youth aluminum: " + name("SP"), c.line("SP"), true},
               {"Youth carbon: " + name("FL"), c.line("FL"), true}},
              2);
    drawGuide(dir / "guide_orvik.jpg", 1172, 1118, "2009 Orvik Shaft Models",
              {{"Carbon: " + name("ST"), c.line("ST"), false},
               {"Carbon: " + name("KE"), c.line("KE"), false},
               {"Aluminum: " + name("PK"), c.line("PK"), false}},
              2);
}

} // namespace arrowsel::sampledata
