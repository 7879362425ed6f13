// Feeds bytes to the readers of the network helper's messages: the request the helper reads on
// its standard input and the answer the application reads from the helper.
#include "FuzzSupport.h"
#include "network/NetworkMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray text = Fuzz::bytes(data, size);
    if (const auto request = NetworkMessages::decodeRequest(text)) {
        // What was read is all the helper acts on: written afresh, it reads the same.
        Fuzz::check(NetworkMessages::decodeRequest(NetworkMessages::encode(*request)) == request,
                    "a request rewritten from what was read reads the same",
                    QString::fromUtf8(text.left(200)));
    }
    NetworkRequest get;
    get.limit = 64;
    if (const auto answer = NetworkMessages::decodeAnswer(text, get)) {
        Fuzz::check(answer->body.size() <= get.limit, "an answer's body stays within its limit",
                    QString::number(answer->body.size()));
        Fuzz::check(NetworkMessages::decodeAnswer(NetworkMessages::encode(*answer), get) == answer,
                    "an answer rewritten from what was read reads the same",
                    QString::fromUtf8(text.left(200)));
    }
    return 0;
}
