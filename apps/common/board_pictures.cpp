#include "board_pictures.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>
#include <fstream>
#include <unistd.h>

#include "qor/kernel/kernel.h"

namespace qor::apps {

const int32_t kHeatColours[16] = {21, 27, 33, 39, 45, 51, 49, 47, 82, 118, 154, 190, 226, 220, 208, 196};

int32_t openBoardSurface(int32_t widthPx) {
    KRect frame;
    if (!T_FrameTraceLines(-1, 63, &frame)) return 0;
    // A 5 % margin around the board; 64-bit arithmetic, since boards reach 2^31 units / 105.
    const int64_t boardW = int64_t{frame.right} - frame.left, boardH = int64_t{frame.top} - frame.bottom;
    const auto zoom = static_cast<int32_t>(std::max<int64_t>(1, boardW * 105 / 100 / widthPx));
    const auto heightPx = static_cast<int32_t>(std::clamp<int64_t>(boardH * 105 / 100 / zoom, 1, 20000));
    const int32_t surface = G_CreateRasterSurface(widthPx, heightPx);
    const KViewRecord view{zoom, widthPx, heightPx, static_cast<int32_t>(frame.left + boardW / 2),
                           static_cast<int32_t>(frame.bottom + boardH / 2), 0};
    if (!surface || !G_OpenDC(surface, &view)) return 0;
    return surface;
}

void drawLayout() {
    S_DrawSymbol(-DB_CurHier() - 400, -1, -1);  // copper areas
    T_DrawAllTraceMask(1, 1);
    V_DrawAllVias(1);
    L_DrawAllComponents(1);
}

void drawOutline() {
    G_SetColor(11);
    T_DrawAllRecords(-1, 1);
}

bool closeAndSave(int32_t surface, const std::filesystem::path& png) {
    G_CloseDC();
    const bool saved = G_SaveSurfacePng(surface, png.c_str()) == 1;
    G_DeleteSurface(surface);
    return saved;
}

bool addLegend(const std::filesystem::path& png, const std::string& title, const std::vector<LegendRow>& rows) {
    const QImage board(QString::fromStdString(png.string()));
    if (board.isNull()) return false;
    constexpr int kRow = 28, kWidth = 250;
    QImage out(board.width() + kWidth, std::max(board.height(), static_cast<int>(rows.size() + 1) * kRow + 20),
               QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(0, 0, board);
    QFont font = p.font();
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    const int x = board.width() + 14;
    p.drawText(x, 24, QString::fromStdString(title));
    for (size_t i = 0; i < rows.size(); ++i) {
        const int y = 40 + static_cast<int>(i) * kRow;
        p.fillRect(x, y, 36, kRow - 6, QColor::fromRgb(static_cast<QRgb>(G_PaletteRgb(rows[i].colour))));
        p.drawText(x + 46, y + kRow - 11, QString::fromStdString(rows[i].text));
    }
    p.end();
    QSaveFile file(QString::fromStdString(png.string()));
    if (!file.open(QIODevice::WriteOnly) || !out.save(&file, "PNG")) return false;
    return file.commit();
}

std::vector<LegendRow> scaleLegend(const int32_t colours[16], double min, double step, const char* unit,
                                   int decimals) {
    std::vector<LegendRow> rows;
    char text[96];
    for (int i = 15; i >= 0; --i) {
        const double from = min + i * step, to = min + (i + 1) * step;
        if (i == 15) std::snprintf(text, sizeof text, "%.*f %s and above", decimals, from, unit);
        else if (i == 0) std::snprintf(text, sizeof text, "below %.*f %s", decimals, to, unit);
        else std::snprintf(text, sizeof text, "%.*f to %.*f %s", decimals, from, decimals, to, unit);
        rows.push_back({colours[i], text});
    }
    return rows;
}

bool writeFileAtomically(const std::filesystem::path& path, const std::string& text) {
    const std::filesystem::path temporary = path.string() + ".writing" + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) std::filesystem::remove(temporary, ec);
    return !ec;
}

}  // namespace qor::apps
