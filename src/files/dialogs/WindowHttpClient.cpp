#include "files/dialogs/WindowHttpClient.h"

#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <thread>

namespace velmor {

WindowHttpClient::WindowHttpClient(CurlHttpClient::Limits limits) : m_client(limits) {}

HttpClient::Result WindowHttpClient::Get(const std::string& address,
                                         const ProgressCallback& progress) {
    std::atomic<bool> cancelled{false};
    std::atomic<bool> done{false};
    std::atomic<std::uint64_t> received{0};
    Result result;

    QProgressDialog window(QString::fromUtf8("正在获取网页…"), QString::fromUtf8("取消"), 0, 0);
    window.setObjectName(QStringLiteral("获取进度"));
    window.setWindowTitle(QString::fromUtf8("取网址源码"));
    // Modal, so that nothing the handler relies on (its dialog above all) goes away while
    // the loop below runs.
    window.setWindowModality(Qt::ApplicationModal);
    window.setMinimumDuration(0);
    window.setAutoClose(false);
    window.setAutoReset(false);
    QEventLoop loop;
    QObject::connect(&window, &QProgressDialog::canceled, &loop, [&] { cancelled = true; });

    std::thread transfer([&] {
        result = m_client.Get(address, [&](std::uint64_t bytes) {
            received = bytes;
            return !cancelled && (!progress || progress(bytes));
        });
        done = true;
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    // The label shows what has arrived; the loop ends when the transfer does.
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &window, [&] {
        window.setLabelText(QString::fromUtf8("正在获取网页… %1 KB").arg(received.load() / 1024));
    });
    ticker.start(200);
    window.show();
    if (!done) {
        loop.exec();
    }
    transfer.join();
    return result;
}

}  // namespace velmor
