#pragma once
// RecordingTarget: a NotifyTarget that keeps every notification it receives, for tests
// of windows and pages ("which notifications arrived, in which order").

#include <QString>
#include <ostream>
#include <vector>

#include "app/toolkit/notification.h"

namespace norvane::testing {

struct Recorded {
  QString type;
  QString sender;
  intptr_t wparam = 0;
  intptr_t lparam = 0;
  bool operator==(const Recorded& o) const {
    return type == o.type && sender == o.sender && wparam == o.wparam && lparam == o.lparam;
  }
};

inline void PrintTo(const Recorded& r, std::ostream* os) {
  *os << r.type.toStdString() << "(" << r.sender.toStdString() << ", " << r.wparam << ", " << r.lparam << ")";
}

class RecordingTarget : public NotifyTarget {
 public:
  void notify(const Notification& n) override { received.push_back({QString::fromLatin1(type_name(n.type)), n.sender_name, n.wparam, n.lparam}); }
  // The notifications of one type.
  std::vector<Recorded> of_type(const char* type) const {
    std::vector<Recorded> out;
    for (const auto& r : received) {
      if (r.type == QLatin1String(type)) out.push_back(r);
    }
    return out;
  }
  std::vector<Recorded> received;
};

}  // namespace norvane::testing
