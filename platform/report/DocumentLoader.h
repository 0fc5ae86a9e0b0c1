// DocumentLoader: reads a layout document (XML) into a ReportDocument.
//
//   <report name="frxRptTotNomi" title="...">
//     <variable name="gStCodUsua"/>
//     <counter name="gSmID" incrementOn="MasterData1" reset="page" page="Page3"/>
//     <page name="Page1" paper="letter|legal|WxH" orientation="portrait|landscape" margins="10" subreport="false">
//       <pageHeader height="30" stretch="true"> objects </pageHeader>  or  <include fragment="CommonPageHeader" title="..."/>
//       <band height="..."> ... </band>                          printed once
//       <dataBlock dataset="QryTotNomi" rowCount="1">
//         <header height="6" reprintOnNewPage="true"> ... </header>
//         <group condition="&lt;QryTotNomi.&quot;COD_CCOS&quot;&gt;" keepTogether="true">
//           <groupHeader height="6" outline="expr"> ... <child height="5"> ... </child></groupHeader>
//           <groupFooter height="6"> ... </groupFooter>
//         </group>
//         <masterData name="MasterData1" height="5" stretch="true" equalCellHeights="true" visibleIf="expr"> ... </masterData>
//         <footer height="6"> ... </footer>
//       </dataBlock>
//       <summary height="6"> ... </summary>
//       <pageFooter height="4"> ... </pageFooter>
//     </page>
//   </report>
//
// Objects (positions in mm relative to the band): <memo left top width height font size bold italic
// underline color align valign wrap markup stretch frame="all|none|left,top,right,bottom" frameWidth
// frameColor fill format hideZeros visibleIf name>text with [expressions]</memo>, <picture ... dataset field
// center keepAspect/>, <line ... widthPt color/>, <subreport ... page/>, <crosstab>, <chart>.
//
// <include fragment="X" key="value"/> inserts the bands of fragment X (found through the fragment
// resolver), with every "{key}" in its attributes and texts replaced by value; the attributes of the
// fragment's root element give the defaults of keys the include does not set. Errors name the file, the
// line and what is wrong; every expression is parsed at load, so a layout with a broken expression never
// reaches preparation.
#pragma once

#include "ReportDocument.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace report {

class DocumentLoader {
public:
    // Returns the XML of a fragment by name, or an empty array when there is none.
    using FragmentResolver = std::function<QByteArray(const QString& name)>;

    void setFragmentResolver(FragmentResolver resolver) { m_fragments = std::move(resolver); }

    // Throws GeneralError "<file>:<line>: <what>".
    ReportDocument load(const QByteArray& xml, const QString& fileName) const;
    ReportDocument loadFile(const QString& path) const;

private:
    FragmentResolver m_fragments;
};

} // namespace report
