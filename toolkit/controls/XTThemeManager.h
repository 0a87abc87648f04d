// Themed classic controls draw through a style object chosen by a theme id
// (0 classic, 1 Office XP, 2 Office 2003). One shared factory per control
// kind makes the style of the current id and knows the controls (hosts)
// using it; switching the id rebuilds every shared style and tells every
// host. A host can hold a private style instead, which switches leave alone.
#pragma once

#include "platform/mfc/Object.h"

#include <utility>
#include <vector>

class CXTThemeManagerStyleFactory;
class CXTThemeManagerStyleHost;

enum XTThemeStyle {
    xtThemeDefault = 0,
    xtThemeOfficeXP = 1,
    xtThemeOffice2003 = 2,
};

// A look's colours, metrics and drawing; subclasses per control kind.
class CXTThemeManagerStyle {
public:
    CXTThemeManagerStyle() = default;
    virtual ~CXTThemeManagerStyle() = default;
    CXTThemeManagerStyle(const CXTThemeManagerStyle&) = delete;
    CXTThemeManagerStyle& operator=(const CXTThemeManagerStyle&) = delete;

    virtual void RefreshMetrics() {}
    int GetThemeID() const { return m_nTheme; }

    CXTThemeManagerStyleFactory* m_pFactory = nullptr; // the factory that owns it
    int m_nTheme = 0; // the id it was made for
};

class CXTThemeManagerStyleFactory : public CObject {
    DECLARE_DYNCREATE(CXTThemeManagerStyleFactory)
public:
    CXTThemeManagerStyleFactory() = default;
    // Deletes the style; the hosts still listed lose their shared factory.
    ~CXTThemeManagerStyleFactory() override;

    // A new style for the id; the base makes none.
    virtual CXTThemeManagerStyle* CreateTheme(int nTheme);
    virtual void RefreshMetrics();

    // CreateTheme with the style's id recorded.
    CXTThemeManagerStyle* CreateStyle(int nTheme);
    // Replaces the style (taking ownership), refreshes it and tells every host.
    void SetTheme(CXTThemeManagerStyle* pStyle);
    CXTThemeManagerStyle* GetStyle() const { return m_pTheme; }

    void AddHost(CXTThemeManagerStyleHost* pHost);
    void RemoveHost(CXTThemeManagerStyleHost* pHost);
    int GetHostCount() const;

protected:
    friend class CXTThemeManagerStyleHost;
    // Takes the style and refreshes it, telling nobody.
    void Adopt(CXTThemeManagerStyle* pStyle);

    CXTThemeManagerStyle* m_pTheme = nullptr;
    CXTThemeManagerStyleHost* m_pHostList = nullptr;
};

// The themed part of a control.
class CXTThemeManagerStyleHost {
public:
    // Joins the shared factory of the class.
    explicit CXTThemeManagerStyleHost(CRuntimeClass* pFactoryClass);
    virtual ~CXTThemeManagerStyleHost();
    CXTThemeManagerStyleHost(const CXTThemeManagerStyleHost&) = delete;
    CXTThemeManagerStyleHost& operator=(const CXTThemeManagerStyleHost&) = delete;

    // A new factory of the host's factory class.
    virtual CXTThemeManagerStyleFactory* CreateFactory();
    // The control repaints or re-measures.
    virtual void OnThemeChanged() {}

    // The style to draw with: the private one, else the shared one (made for
    // the current id on first need). Null when no factory can make one.
    CXTThemeManagerStyle* GetTheme();
    // A private style (the host takes it); null goes back to the shared
    // style. FALSE when there was nothing to change.
    BOOL SetTheme(CXTThemeManagerStyle* pStyle);
    // A private style of the id.
    BOOL SetTheme(int nTheme);

    CXTThemeManagerStyleFactory* GetFactory() const { return m_pPrivateFactory ? m_pPrivateFactory : m_pSharedFactory; }

protected:
    friend class CXTThemeManagerStyleFactory;

    BOOL m_bOwnsPrivateFactory = FALSE;
    CRuntimeClass* m_pFactoryClass;
    CXTThemeManagerStyleFactory* m_pPrivateFactory = nullptr;
    CXTThemeManagerStyleFactory* m_pSharedFactory = nullptr;
    CXTThemeManagerStyleHost* m_pNextHost = nullptr;
};

class CXTThemeManager {
public:
    CXTThemeManager() = default;
    ~CXTThemeManager();
    CXTThemeManager(const CXTThemeManager&) = delete;
    CXTThemeManager& operator=(const CXTThemeManager&) = delete;

    // Nothing when nTheme is the current id; else every shared factory gets
    // a style of the new id and tells its hosts.
    void SetTheme(int nTheme);
    int GetTheme() const { return m_nTheme; }
    // The shared factory of the class, made on the first request; null when
    // the class cannot make one.
    CXTThemeManagerStyleFactory* GetFactory(CRuntimeClass* pFactoryClass);

protected:
    std::vector<std::pair<CRuntimeClass*, CXTThemeManagerStyleFactory*>> m_factories;
    int m_nTheme = xtThemeDefault;
};

CXTThemeManager* XTGetThemeManager();
// Theme 1 when bEnable, else 0; returns bEnable.
BOOL XTEnableControlThemes(BOOL bEnable);
