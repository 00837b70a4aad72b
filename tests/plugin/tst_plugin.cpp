// The plug-in module as a host meets it: metadata read without loading, the
// entry points, the factory pooled and withdrawn, and modules that a host
// must refuse before loading them.
#include "coreplugin/inavigationwidgetfactory.h"
#include "extensionsystem/iplugin.h"
#include "extensionsystem/pluginmanager.h"
#include "extensionsystem/pluginmodule.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QtTest>

using ExtensionSystem::PluginManager;
using ExtensionSystem::PluginModule;

namespace {

QList<Core::INavigationWidgetFactory *> pooledFactories()
{
    QList<Core::INavigationWidgetFactory *> list;
    for (QObject *obj : PluginManager::allObjects())
        if (auto f = qobject_cast<Core::INavigationWidgetFactory *>(obj))
            list << f;
    return list;
}

bool refusedPluginRan()
{
    for (QObject *obj : PluginManager::allObjects())
        if (obj->objectName() == QLatin1String("refused plug-in ran"))
            return true;
    return false;
}

} // namespace

class tst_Plugin : public QObject
{
    Q_OBJECT

private slots:
    void metadata();
    void entryPoints();
    void loadedByTheManager();
    void refusedModules_data();
    void refusedModules();
};

void tst_Plugin::metadata()
{
    QPluginLoader loader(QStringLiteral(PLUGIN_FILE));
    const QJsonObject data = loader.metaData();
    QVERIFY2(!loader.isLoaded(), "metadata must be readable without loading");
    QCOMPARE(data.value("IID").toString(), QStringLiteral("org.qt-project.Qt.QtCreatorPlugin"));
    QCOMPARE(data.value("className").toString(), QStringLiteral("VelkoMenuViewPlugin"));
    const QJsonObject meta = data.value("MetaData").toObject();
    QCOMPARE(meta.keys(),
             (QStringList {"CompatVersion", "Copyright", "Dependencies", "Description", "License",
                           "Name", "Url", "Vendor", "Version"}));
    QCOMPARE(meta.value("Name").toString(), QStringLiteral("VelkoMenuView"));
    QCOMPARE(meta.value("Version").toString(), QStringLiteral("1.0.0"));
    QCOMPARE(meta.value("CompatVersion").toString(), QStringLiteral("1.0.0"));
    QCOMPARE(meta.value("Vendor").toString(), QStringLiteral("Ombrix LLC"));
    QCOMPARE(meta.value("License").toString(), QStringLiteral("The MIT License (MIT)"));
    QCOMPARE(meta.value("Description").toString(), QStringLiteral("Display VELKO-OS menus"));
    QVERIFY(!meta.value("Copyright").toString().isEmpty());
    QVERIFY(!meta.value("Url").toString().isEmpty());
    const QJsonArray dependencies = meta.value("Dependencies").toArray();
    QCOMPARE(dependencies.size(), 2);
    QCOMPARE(dependencies.at(0).toObject(), (QJsonObject {{"Name", "Core"}, {"Version", "9.0.1"}}));
    QCOMPARE(dependencies.at(1).toObject(),
             (QJsonObject {{"Name", "ProjectExplorer"}, {"Version", "9.0.1"}}));
}

void tst_Plugin::entryPoints()
{
    QPluginLoader loader(QStringLiteral(PLUGIN_FILE));
    QObject *first = loader.instance();
    QVERIFY2(first, qPrintable(loader.errorString()));
    QCOMPARE(loader.instance(), first); // one object while it lives
    auto plugin = qobject_cast<ExtensionSystem::IPlugin *>(first);
    QVERIFY(plugin);
    QCOMPARE(first->metaObject()->className(), "VelkoMenuView::Internal::VelkoMenuViewPlugin");

    QString error = QStringLiteral("untouched");
    QVERIFY(plugin->initialize(QStringList(), &error));
    QCOMPARE(error, QStringLiteral("untouched"));
    QCOMPARE(pooledFactories().size(), 1);
    plugin->extensionsInitialized();
    QCOMPARE(plugin->aboutToShutdown(), ExtensionSystem::IPlugin::SynchronousShutdown);
    delete plugin;
    QVERIFY(pooledFactories().isEmpty());
    QVERIFY(Core::INavigationWidgetFactory::allNavigationFactories().isEmpty());

    // After its destruction a new object is made on demand.
    auto again = qobject_cast<ExtensionSystem::IPlugin *>(loader.instance());
    QVERIFY(again);
    QVERIFY(again->initialize({QStringLiteral("-any"), QStringLiteral("arguments")}, nullptr));
    delete again;
    QVERIFY(pooledFactories().isEmpty());
}

void tst_Plugin::loadedByTheManager()
{
    PluginManager::setPluginPaths({QFileInfo(QStringLiteral(PLUGIN_FILE)).absolutePath()});
    PluginManager::loadPlugins();
    const QList<PluginModule *> modules = PluginManager::plugins();
    QCOMPARE(modules.size(), 1);
    QVERIFY2(!modules.first()->hasError(), qPrintable(modules.first()->errorString()));
    QCOMPARE(modules.first()->name(), QStringLiteral("VelkoMenuView"));
    QCOMPARE(modules.first()->state(), PluginModule::Running);

    auto factory = PluginManager::getObject<Core::INavigationWidgetFactory>();
    QVERIFY(factory);
    QCOMPARE(factory->displayName(), QStringLiteral("Velko Menu View"));
    QCOMPARE(factory->id().toString(), QStringLiteral("VelkoMenuView"));
    QCOMPARE(factory->priority(), 202);
    const Core::NavigationView view = factory->createWidget();
    QVERIFY(view.widget);
    QCOMPARE(view.dockToolBarWidgets.size(), 4);

    PluginManager::shutdown();
    QVERIFY(pooledFactories().isEmpty());
    QVERIFY(PluginManager::plugins().isEmpty());
    // The pane belongs to the host and outlives the plug-in object.
    view.widget->show();
    QCoreApplication::processEvents();
    delete view.widget;
}

void tst_Plugin::refusedModules_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("error");

    QTest::addRow("missing-version") << "librefused_missingversion.so"
                                     << "metadata needs a name, a version";
    QTest::addRow("unmet-dependency") << "librefused_unmetdependency.so"
                                      << "dependencies not met (Core 10.0.0, TextEditor 9.0.1)";
    QTest::addRow("other-interface") << "librefused_otherinterface.so"
                                     << "not a plug-in of this host";
}

void tst_Plugin::refusedModules()
{
    QFETCH(QString, file);
    QFETCH(QString, error);
    PluginManager::setPluginPaths(
            {QStringLiteral(REFUSED_DIR), QFileInfo(QStringLiteral(PLUGIN_FILE)).absolutePath()});
    PluginManager::loadPlugins();
    PluginModule *refused = nullptr, *ours = nullptr;
    for (PluginModule *module : PluginManager::plugins()) {
        if (QFileInfo(module->filePath()).fileName() == file)
            refused = module;
        if (module->name() == QLatin1String("VelkoMenuView"))
            ours = module;
    }
    QVERIFY(refused && ours);
    QVERIFY2(refused->errorString().contains(error), qPrintable(refused->errorString()));
    QVERIFY(!refused->plugin());
    QVERIFY(!refusedPluginRan());
    QVERIFY(!QPluginLoader(refused->filePath()).isLoaded()); // never loaded half-way
    QCOMPARE(ours->state(), PluginModule::Running); // the others still load
    PluginManager::shutdown();
}

QTEST_MAIN(tst_Plugin)
#include "tst_plugin.moc"
