#include "pages/detail_binding.h"

#include "pages/page_design.h"
#include "platform/text_file.h"

namespace pages {

StaleDetailFile::StaleDetailFile(const QString& reason) : std::runtime_error(reason.toStdString()) {}

void readDetailFile(const std::filesystem::path& file, const profile::DetailFileState* state,
                    const std::function<void(int labelNumber, const QString& text)>& setCaption)
{
    if (state && state->failure())
        throw StaleDetailFile(*state->failure());

    platform::TextFileReader reader(file);
    for (const int labelNumber : detailLineLabels())
        setCaption(labelNumber, reader.readLine());
    reader.close();
}

} // namespace pages
