// Core::IContext: a UI context (widget plus context ids) registered with the host.
#pragma once

#include "utils/id.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace Core {

class HelpItem;

class Context
{
public:
    Context() = default;
    explicit Context(Utils::Id c1) { m_ids.append(c1); }

    bool isEmpty() const { return m_ids.isEmpty(); }
    bool contains(Utils::Id c) const { return m_ids.contains(c); }
    void add(Utils::Id c) { m_ids.append(c); }

private:
    QList<Utils::Id> m_ids;
};

class IContext : public QObject
{
    Q_OBJECT

public:
    explicit IContext(QObject *parent = nullptr);
    ~IContext() override;

    using HelpCallback = std::function<void(const HelpItem &item)>;

    virtual Context context() const;
    virtual QWidget *widget() const;
    virtual void contextHelp(const HelpCallback &callback) const;
    virtual void setContext(const Context &context);
    virtual void setWidget(QWidget *widget);
    virtual void setContextHelp(const HelpItem &id);

private:
    Context m_context;
    QPointer<QWidget> m_widget;
};

} // namespace Core
