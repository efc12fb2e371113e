#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

namespace qs {

// Where the current date-time and the login name come from, so that generated pages can be compared
// byte for byte in tests.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual QString userName() const = 0;
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override;
    QString userName() const override;
};

class FixedClock final : public Clock {
public:
    FixedClock(QDateTime now, QString user) : now_(std::move(now)), user_(std::move(user)) {}
    QDateTime now() const override { return now_; }
    QString userName() const override { return user_; }
    void set(const QDateTime& now) { now_ = now; }

private:
    QDateTime now_;
    QString user_;
};

// A moment typed as "AAAA-MM-JJ HH:MM" (blanks around it ignored), as a script gives the moment to take
// as now; nothing when it is not a real date and time in that form.
std::optional<QDateTime> parseMoment(const QString& text);

} // namespace qs
