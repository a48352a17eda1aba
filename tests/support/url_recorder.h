#pragma once
// Takes the addresses that the windows hand to the desktop, so that nothing
// is opened and tests can see what would have been.

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

namespace tolvex::testing {

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(QStringList schemes = {QStringLiteral("file"), QStringLiteral("mailto"),
                                                QStringLiteral("http")});
    ~UrlRecorder() override;
    UrlRecorder(const UrlRecorder&) = delete;
    UrlRecorder& operator=(const UrlRecorder&) = delete;

    QList<QUrl> urls;

public slots:
    void open(const QUrl& url);

private:
    QStringList m_schemes;
};

} // namespace tolvex::testing
