#include "tools/pzshell/Commands.h"
#include "tools/pzshell/ToolSupport.h"

#include "platform/commands/IExtractImage.h"
#include "platform/namespace/ShellNamespace.h"

#include <QFile>
#include <QImageWriter>

#include <cstdio>
#include <cstdlib>

namespace {

bool ParseEdge(const std::string& text, int& edge)
{
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value <= 0 || value > 4096)
        return false;
    edge = static_cast<int>(value);
    return true;
}

// The thumbnail extractor of a target, asked of the folder that holds it.
std::shared_ptr<IExtractImage> ExtractorOf(const TItemIdList* absolute)
{
    const std::size_t count = IDListCount(absolute);
    if (count == 0)
        return nullptr;
    const IShellFolderPtr parent = SHBindToFolder(TruncateIDList(absolute, count - 1).get());
    if (!parent)
        return nullptr;
    const TItemIdList* item = LastIDListItem(absolute);
    std::shared_ptr<IUIObject> object;
    if (parent->GetUIObjectOf(nullptr, std::span(&item, 1), TUIObjectKind::ExtractImage, object).Failed())
        return nullptr;
    return std::dynamic_pointer_cast<IExtractImage>(object);
}

}  // namespace

int RunThumbCommand(const std::vector<std::string>& args)
{
    int width = 0;
    int height = 0;
    if (args.size() != 4 || !ParseEdge(args[1], width) || !ParseEdge(args[2], height)) {
        std::fprintf(stderr, "usage: pzshell thumb PATH WIDTH HEIGHT OUT.png (edges 1 to 4096)\n");
        return 2;
    }
    const TItemIdListPtr list = ResolveTarget(args[0]);
    if (!list)
        return 1;
    const std::shared_ptr<IExtractImage> extractor = ExtractorOf(list.get());
    std::string location;
    QImage image;
    if (!extractor ||
        extractor->GetLocation(QSize(width, height), IEIFLAG_SCREEN | IEIFLAG_QUALITY, location).Failed() ||
        extractor->Extract(image).Failed()) {
        std::fprintf(stderr, "pzshell: %s: kein Vorschaubild\n", EscapeForLine(args[0]).c_str());
        return 1;
    }
    QImageWriter writer(QFile::decodeName(QByteArray::fromStdString(args[3])), "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "pzshell: %s: %s\n", EscapeForLine(args[3]).c_str(),
                     writer.errorString().toUtf8().constData());
        return 1;
    }
    std::printf("%dx%d\t%s\n", image.width(), image.height(), EscapeForLine(location).c_str());
    return 0;
}
