#include "widgets/guarded.h"

#include "widgets/message_seam.h"

#include <QString>
#include <exception>

namespace arrowsel::widgets {

bool runGuarded(QWidget* parent, const std::function<void()>& work) {
    try {
        work();
        return true;
    } catch (const std::exception& e) {
        MessageSeam::current().error(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        MessageSeam::current().error(parent, QStringLiteral("The command failed with an unexpected error."));
    }
    return false;
}

} // namespace arrowsel::widgets
