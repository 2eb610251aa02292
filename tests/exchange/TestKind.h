#pragma once
// A small object kind that exists only for the tests and the benchmark: test
// goods are read from the ERP database (CDN.TestTowary, pending in
// CDN.TestKolejka), written as TERPTestObject files, turned by the style
// sheet TestKind.xsl into TCRMTestObject files and stored in the CRM database
// (dbo.TestProdukty). Header only, so the benchmark uses it as well.

#include "app/DM_Main.h"
#include "core/ClassBuilder.h"
#include "core/Text.h"
#include "db/Connection.h"
#include "db/Query.h"
#include "exchange/ExchangeListQueue.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pelmora::test {

// Tables of the kind, one statement each.
inline constexpr const char* TestErpTables[] = {
    "create table CDN.TestTowary (TT_Id integer primary key, TT_Nazwa varchar(100))",
    "create table CDN.TestKolejka (TK_Id integer primary key, TK_IdObiektu integer)",
};
inline constexpr const char* TestCrmTables[] = {
    "create table dbo.TestProdukty (TP_EXID varchar(20), TP_Nazwa varchar(100))",
};

// Rule names of the kind's files and its style sheet.
inline constexpr const char* TestSourceName = "ERP_Test";
inline constexpr const char* TestTargetName = "CRM_Test";
inline constexpr const char* TestStyleSheet = "TestKind.xsl";

// TERPTestObject to TCRMTestObject: ID becomes EXID, Nazwa stays.
inline constexpr const char* TestStyleSheetText = R"X(<?xml version="1.0" encoding="UTF-8"?>
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="xml" indent="no" encoding="ISO-8859-2" omit-xml-declaration="yes"/>
  <xsl:template match="/">
    <classes><class classname="TCRMTestObject" name="TCRMTestObject"><properties>
      <property name="EXID" type="String"><xsl:value-of select="//class[@classname='TERPTestObject']//property[@name='ID']"/></property>
      <property name="Nazwa" type="String"><xsl:value-of select="//class[@classname='TERPTestObject']//property[@name='Nazwa']"/></property>
    </properties></class></classes>
  </xsl:template>
</xsl:stylesheet>
)X";

// The ERP side: LoadFromDB reads the good named by ID; SaveToXML writes the
// file and takes the good out of the pending table.
class TERPTestObject : public exchange::TInterfaceObject {
    PELMORA_CLASS(TERPTestObject, exchange::TInterfaceObject)
public:
    core::Variant KolejkaId;
    core::Variant ID;
    core::Variant Nazwa;

    // Calls of LoadFromDB since the last reset.
    static inline int LoadFromDBCalls = 0;
    // Called after every successful SaveToXML (a test stops the run there).
    static inline std::function<void()> AfterSave;

    bool LoadFromXML() override { return StandardLoadFromXML(); }
    bool SaveToXML() override {
        if (!StandardSaveToXML())
            return false;
        db::Query del(*Connection, "delete from CDN.TestKolejka where TK_IdObiektu = :ID");
        del.SetParam("ID", ID);
        del.Execute();
        if (AfterSave)
            AfterSave();
        return true;
    }
    bool LoadFromDB() override {
        ++LoadFromDBCalls;
        db::Query q(*Connection, "select TT_Nazwa from CDN.TestTowary where TT_Id = :ID");
        q.SetParam("ID", ID);
        q.Open();
        if (q.Eof())
            return false;
        Nazwa = q.FieldByName("TT_Nazwa");
        return true;
    }
    bool SaveToDB() override { NotImplemented("SaveToDB"); }
};

inline const core::TClassInfo& TERPTestObject::StaticClass() {
    using T = TERPTestObject;
    static const core::TClassInfo info = core::TClassBuilder<T>()
                                             .Variant("KolejkaId", &T::KolejkaId)
                                             .Variant("ID", &T::ID)
                                             .Variant("Nazwa", &T::Nazwa);
    return info;
}

// The CRM side: LoadFromXML reads its file; SaveToDB inserts the product.
class TCRMTestObject : public exchange::TInterfaceObject {
    PELMORA_CLASS(TCRMTestObject, exchange::TInterfaceObject)
public:
    core::Variant EXID;
    core::Variant Nazwa;

    bool LoadFromXML() override { return StandardLoadFromXML(); }
    bool SaveToXML() override { NotImplemented("SaveToXML"); }
    bool LoadFromDB() override { NotImplemented("LoadFromDB"); }
    bool SaveToDB() override {
        db::Query ins(*Connection,
                      "insert into dbo.TestProdukty (TP_EXID, TP_Nazwa) values (:EXID, :Nazwa)");
        ins.SetParam("EXID", EXID);
        ins.SetParam("Nazwa", Nazwa);
        ins.Execute();
        return true;
    }
};

inline const core::TClassInfo& TCRMTestObject::StaticClass() {
    using T = TCRMTestObject;
    static const core::TClassInfo info =
        core::TClassBuilder<T>().Variant("EXID", &T::EXID).Variant("Nazwa", &T::Nazwa);
    return info;
}

struct RObiektTest : exchange::WorkItem {
    std::string QueueId;  // TK_Id
    std::string ObjectId; // TT_Id of the good
};

// The kind's queue: exactly what a family's queue supplies.
class TM2CTestListQueue
    : public exchange::TExchangeListQueueOf<RObiektTest, TERPTestObject, TCRMTestObject,
                                            exchange::ErpToCrm> {
public:
    using TExchangeListQueueOf::TExchangeListQueueOf;

    // File names the next NewFileName calls give for a rule name, in place of
    // a new GUID (so a test can make a name collide with an existing file).
    std::map<std::string, std::string> ForcedNames;

    std::string NewFileName(const std::string& name) const override {
        auto it = ForcedNames.find(name);
        if (it == ForcedNames.end())
            return TExchangeListQueueOf::NewFileName(name);
        return it->second;
    }

protected:
    db::Query* SelectQuery() override {
        if (!query_)
            query_ = std::make_unique<db::Query>(
                *ErpConnection, "select TK_Id, TK_IdObiektu from CDN.TestKolejka order by TK_Id");
        return query_.get();
    }
    void ReadRow(const db::Query& row, RObiektTest& item) override {
        item.QueueId = row.FieldByName("TK_Id").ToString();
        item.ObjectId = row.FieldByName("TK_IdObiektu").ToString();
    }
    exchange::TItemKey ItemKey(const RObiektTest& item) const override { return {item.ObjectId}; }
    void SetExportKeys(const RObiektTest& item, TERPTestObject& source) override {
        source.KolejkaId = item.QueueId;
        source.ID = item.ObjectId;
    }
    exchange::TItemKey SourceKey(const TERPTestObject& source) const override {
        return {source.ID.ToString()};
    }
    exchange::TItemKey TargetKey(const TCRMTestObject& target) const override {
        return {target.EXID.ToString()};
    }

private:
    std::unique_ptr<db::Query> query_;
};

} // namespace pelmora::test
