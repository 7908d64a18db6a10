#include "pages/detail_binding.h"

#include "pages/page_design.h"
#include "platform/text_file.h"

namespace pages {

StaleDetailFile::StaleDetailFile(const QString& reason) : std::runtime_error(reason.toStdString()) {}

void readDetailFile(const std::filesystem::path& file,
                    const std::function<void(int labelNumber, const QString& text)>& setCaption)
{
    if (const auto failure = platform::lastWriteFailure(file))
        throw StaleDetailFile(failure->message);

    platform::TextFileReader reader(file);
    for (const int labelNumber : detailLineLabels())
        setCaption(labelNumber, reader.readLine());
    reader.close();
}

} // namespace pages
