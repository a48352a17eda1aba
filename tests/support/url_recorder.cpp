#include "url_recorder.h"

#include <QDesktopServices>

namespace tolvex::testing {

UrlRecorder::UrlRecorder(QStringList schemes) : m_schemes(std::move(schemes))
{
    for (const QString& s : m_schemes) QDesktopServices::setUrlHandler(s, this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const QString& s : m_schemes) QDesktopServices::unsetUrlHandler(s);
}

void UrlRecorder::open(const QUrl& url) { urls << url; }

} // namespace tolvex::testing
