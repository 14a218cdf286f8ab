#include "core/rename/RenameLines.h"

#include <QCoreApplication>

namespace cantorix {

namespace {

std::string fill(const std::string& text, std::initializer_list<std::string_view> args)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const size_t k = size_t(text[i + 1] - '1');
            if (k < args.size()) {
                out += *(args.begin() + k);
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::string TrLine(const char* text, std::initializer_list<std::string_view> args)
{
    return fill(QCoreApplication::translate("Rename", text).toStdString(), args);
}

std::string TrCountLine(const char* text, int n)
{
    return QCoreApplication::translate("Rename", text, nullptr, n).toStdString();
}

} // namespace cantorix
