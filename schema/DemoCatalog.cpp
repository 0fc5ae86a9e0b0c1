#include "DemoCatalog_p.h"

#include <QHash>

namespace demo {

const std::vector<const char*>& maleNames() {
    static const std::vector<const char*> names{
        "JUAN",     "CARLOS",    "ANDRÉS",  "LUIS",    "JORGE",   "JOSÉ",      "DIEGO",    "FELIPE",
        "SANTIAGO", "ALEJANDRO", "DAVID",   "JULIÁN",  "CAMILO",  "SEBASTIÁN", "MIGUEL",   "ÓSCAR",
        "FERNANDO", "RICARDO",   "JAIME",   "HERNÁN",  "GUSTAVO", "MAURICIO",  "WILSON",   "EDWIN",
        "JHON",     "FABIO",     "ÁLVARO",  "HÉCTOR",  "NELSON",  "RUBÉN",     "CRISTIAN", "DANIEL",
        "ESTEBAN",  "MATEO",     "NICOLÁS", "WILLIAM", "FREDY",   "ALBERTO",   "ARMANDO",  "GERMÁN",
        "JAIRO",    "PABLO",     "EDUARDO", "HUGO",    "IVÁN",    "RAÚL"};
    return names;
}

const std::vector<const char*>& femaleNames() {
    static const std::vector<const char*> names{
        "MARÍA",   "ANA",      "LUZ",       "SANDRA",  "CLAUDIA",  "PAOLA",   "DIANA",   "MARCELA",
        "LILIANA", "ÁNGELA",   "CAROLINA",  "NATALIA", "ANDREA",   "JOHANA",  "LAURA",   "VALENTINA",
        "DANIELA", "CATALINA", "ADRIANA",   "GLORIA",  "PATRICIA", "MÓNICA",  "YOLANDA", "BEATRIZ",
        "ISABEL",  "FERNANDA", "ALEJANDRA", "CAMILA",  "MARTHA",   "ELENA",   "XIMENA",  "LORENA",
        "JULIANA", "TATIANA",  "ESPERANZA", "ROSA",    "YANETH",   "VIVIANA", "DORA",    "NUBIA",
        "SOFÍA",   "LUCÍA",    "EUGENIA",   "CECILIA"};
    return names;
}

const std::vector<const char*>& surnames() {
    static const std::vector<const char*> names{
        "GÓMEZ",     "RODRÍGUEZ", "GONZÁLEZ",    "MARTÍNEZ",     "GARCÍA",     "LÓPEZ",    "HERNÁNDEZ",
        "SÁNCHEZ",   "RAMÍREZ",   "PÉREZ",       "DÍAZ",         "MUÑOZ",      "ROJAS",    "MORENO",
        "JIMÉNEZ",   "VARGAS",    "CASTRO",      "GUTIÉRREZ",    "ORTIZ",      "RESTREPO", "ÁLVAREZ",
        "RUIZ",      "OSORIO",    "CARDONA",     "MEJÍA",        "GIRALDO",    "AGUDELO",  "ZAPATA",
        "MONTOYA",   "OSPINA",    "HENAO",       "ARANGO",       "QUINTERO",   "SALAZAR",  "RÍOS",
        "VÉLEZ",     "BEDOYA",    "MARÍN",       "TORRES",       "ROMERO",     "SUÁREZ",   "HERRERA",
        "MEDINA",    "AGUILAR",   "CASTAÑO",     "CORREA",       "VALENCIA",   "LONDOÑO",  "BOTERO",
        "ECHEVERRI", "POSADA",    "URIBE",       "CAICEDO",      "MOSQUERA",   "PALACIOS", "CUERO",
        "CÓRDOBA",   "BERMÚDEZ",  "PARRA",       "CABRERA",      "ACOSTA",     "GALLEGO",  "SIERRA",
        "NIÑO",      "PINEDA",    "BUITRAGO",    "FORERO",       "CIFUENTES",  "PATIÑO",   "LOZANO",
        "CARDOZO",   "SOTO",      "RINCÓN",      "BELTRÁN",      "CARVAJAL",   "CAMARGO",  "DUQUE",
        "ESCOBAR",   "FRANCO",    "GAVIRIA",     "HOYOS",        "IBARRA",     "LEÓN",     "MONTES",
        "NARVÁEZ",   "OCAMPO",    "PULIDO",      "QUIROGA",      "REYES",      "SALCEDO",  "TOBÓN",
        "VILLA",     "ZULUAGA",   "DE LA TORRE", "DEL CASTILLO", "DE LOS RÍOS"};
    return names;
}

const std::vector<Place>& places() {
    static const std::vector<Place> list{
        {kColombia, 5, 0, 0, "ANTIOQUIA"},
        {kColombia, 5, 1, 0, "MEDELLÍN"},
        {kColombia, 5, 88, 0, "BELLO"},
        {kColombia, 5, 266, 0, "ENVIGADO"},
        {kColombia, 5, 360, 0, "ITAGÜÍ"},
        {kColombia, 5, 615, 0, "RIONEGRO"},
        {kColombia, 5, 631, 0, "SABANETA"},
        {kColombia, 8, 0, 0, "ATLÁNTICO"},
        {kColombia, 8, 1, 0, "BARRANQUILLA"},
        {kColombia, 8, 573, 0, "PUERTO COLOMBIA"},
        {kColombia, 8, 758, 0, "SOLEDAD"},
        {kColombia, 11, 0, 0, "BOGOTÁ, D.C."},
        {kColombia, 11, 1, 0, "BOGOTÁ, D.C."},
        {kColombia, 11, 1, 1, "USAQUÉN"},
        {kColombia, 11, 1, 2, "CHAPINERO"},
        {kColombia, 11, 1, 8, "KENNEDY"},
        {kColombia, 11, 1, 11, "SUBA"},
        {kColombia, 13, 0, 0, "BOLÍVAR"},
        {kColombia, 13, 1, 0, "CARTAGENA DE INDIAS"},
        {kColombia, 15, 0, 0, "BOYACÁ"},
        {kColombia, 15, 1, 0, "TUNJA"},
        {kColombia, 15, 238, 0, "DUITAMA"},
        {kColombia, 15, 759, 0, "SOGAMOSO"},
        {kColombia, 17, 0, 0, "CALDAS"},
        {kColombia, 17, 1, 0, "MANIZALES"},
        {kColombia, 25, 0, 0, "CUNDINAMARCA"},
        {kColombia, 25, 175, 0, "CHÍA"},
        {kColombia, 25, 269, 0, "FACATATIVÁ"},
        {kColombia, 25, 473, 0, "MOSQUERA"},
        {kColombia, 25, 754, 0, "SOACHA"},
        {kColombia, 25, 899, 0, "ZIPAQUIRÁ"},
        {kColombia, 54, 0, 0, "NORTE DE SANTANDER"},
        {kColombia, 54, 1, 0, "SAN JOSÉ DE CÚCUTA"},
        {kColombia, 66, 0, 0, "RISARALDA"},
        {kColombia, 66, 1, 0, "PEREIRA"},
        {kColombia, 66, 170, 0, "DOSQUEBRADAS"},
        {kColombia, 68, 0, 0, "SANTANDER"},
        {kColombia, 68, 1, 0, "BUCARAMANGA"},
        {kColombia, 68, 276, 0, "FLORIDABLANCA"},
        {kColombia, 73, 0, 0, "TOLIMA"},
        {kColombia, 73, 1, 0, "IBAGUÉ"},
        {kColombia, 76, 0, 0, "VALLE DEL CAUCA"},
        {kColombia, 76, 1, 0, "CALI"},
        {kColombia, 76, 109, 0, "BUENAVENTURA"},
        {kColombia, 76, 111, 0, "GUADALAJARA DE BUGA"},
        {kColombia, 76, 520, 0, "PALMIRA"},
        {kColombia, 76, 834, 0, "TULUÁ"},
        {kColombia, 76, 892, 0, "YUMBO"},
    };
    return list;
}

const std::vector<Concept>& concepts() {
    static const std::vector<Concept> list{
        {1, "SUELDO BASICO", 'I'},
        {2, "AUXILIO DE TRANSPORTE", 'I'},
        {3, "HORAS EXTRAS DIURNAS", 'I'},
        {4, "HORAS EXTRAS NOCTURNAS", 'I'},
        {5, "RECARGO NOCTURNO", 'I'},
        {6, "INCAPACIDAD GENERAL", 'I'},
        {7, "APOYO SOSTENIMIENTO APRENDIZ", 'I'},
        {10, "APORTE SALUD EMPLEADO", 'E'},
        {11, "APORTE PENSION EMPLEADO", 'E'},
        {12, "FONDO DE SOLIDARIDAD PENSIONAL", 'E'},
        {13, "RETENCION EN LA FUENTE", 'E'},
        {20, "PRIMA DE SERVICIOS", 'I'},
        {21, "CESANTIAS", 'I'},
        {22, "INTERESES CESANTIAS", 'I'},
        {25, "INDEMNIZACION POR TERMINACION", 'I'},
        {30, "VACACIONES DISFRUTADAS", 'I'},
        {31, "VACACIONES EN DINERO", 'I'},
        {40, "PROVISION PRIMA", 'P'},
        {41, "PROVISION CESANTIAS", 'P'},
        {42, "PROVISION VACACIONES", 'P'},
        {43, "PROVISION INTERESES CESANTIAS", 'P'},
        {50, "EMBARGO JUDICIAL", 'E'},
        {51, "PRESTAMO EMPRESA", 'E'},
        {52, "LIBRANZA", 'E'},
        {60, "COMISION CONDUCTOR", 'I'},
        {61, "BONIFICACION", 'I'},
        {70, "APORTE SALUD EMPRESA", 'O'},
        {71, "APORTE PENSION EMPRESA", 'O'},
        {72, "APORTE RIESGOS LABORALES", 'O'},
    };
    return list;
}

const std::vector<Prototype>& prototypes() {
    static const std::vector<Prototype> list{
        {1, "DEVENGOS DE NOMINA", {1, 2, 3, 4, 5, 6, 7, 30, 60, 61}},
        {2, "DEDUCCIONES DE LEY", {10, 11, 12}},
        {3, "PRESTACIONES SOCIALES", {20, 21, 22, 25, 31}},
        {4, "PROVISIONES DE PRESTACIONES", {40, 41, 42, 43}},
        {5, "PRESTAMOS A EMPLEADOS", {51}},
        {6, "LIBRANZAS", {52}},
        {7, "COMISIONES CONDUCTORES", {1, 60, 61}},
        {8, "FACTURACION EMPRESA USUARIA", {1, 2, 3, 4, 5, 6, 7, 20, 21, 22, 30, 40, 41, 42, 61, 70, 71, 72}},
        {9, "NOMINA TOTAL", {1,  2,  3,  4,  5,  6,  7,  10, 11, 12, 13,
                             20, 21, 22, 25, 30, 31, 50, 51, 52, 60, 61}},
        {10, "APORTES SEGURIDAD SOCIAL", {10, 11, 12, 70, 71, 72}},
        {11, "EMBARGOS JUDICIALES", {50}},
        {12, "APORTES SALUD", {10, 70}},
        {13, "APORTES RIESGOS LABORALES", {72}},
        {14, "RETENCION EN LA FUENTE", {13}},
    };
    return list;
}

const std::vector<Position>& positions() {
    static const std::vector<Position> list{
        {"101", "GERENTE GENERAL", 16000000, 22000000},
        {"102", "DIRECTOR ADMINISTRATIVO Y FINANCIERO", 8000000, 11000000},
        {"103", "CONTADOR", 5500000, 7000000},
        {"104", "AUXILIAR CONTABLE", 2100000, 2600000},
        {"105", "ANALISTA DE NOMINA", 2800000, 3600000},
        {"106", "RECEPCIONISTA", 0, 2000000},
        {"107", "COORDINADOR DE GESTION HUMANA", 4200000, 5200000},
        {"201", "OPERARIO DE PRODUCCION", 0, 0},
        {"202", "AUXILIAR DE BODEGA", 0, 1950000},
        {"203", "OPERADOR DE MONTACARGAS", 2000000, 2300000},
        {"204", "SUPERVISOR DE PRODUCCION", 3200000, 3900000},
        {"205", "EMPACADOR", 0, 0},
        {"206", "TECNICO DE MANTENIMIENTO", 2400000, 3000000},
        {"301", "CONDUCTOR DE BUS", 2300000, 2700000},
        {"302", "CONDUCTOR RELEVADOR", 2100000, 2400000},
        {"303", "MECANICO AUTOMOTRIZ", 2400000, 3100000},
        {"304", "DESPACHADOR DE RUTAS", 1900000, 2300000},
        {"401", "APRENDIZ SENA", 0, 0},
        {"501", "ASESOR COMERCIAL", 1800000, 2200000},
        {"502", "CAJERO", 0, 1900000},
        {"503", "MENSAJERO", 0, 0},
    };
    return list;
}

const Position& position(const QString& code) {
    static const QHash<QString, int> index = [] {
        QHash<QString, int> map;
        for (std::size_t i = 0; i < positions().size(); ++i)
            map.insert(QString::fromLatin1(positions()[i].code), int(i));
        return map;
    }();
    return positions()[std::size_t(index.value(code))];
}

const std::vector<Coded>& payrollClasses() {
    static const std::vector<Coded> list{
        {1, "NOMINA ADMINISTRATIVA"},
        {2, "NOMINA OPERATIVA"},
        {3, "CONDUCTORES"},
        {4, "APRENDICES SENA"},
    };
    return list;
}

const std::vector<WorkCentre>& workCentres() {
    static const std::vector<WorkCentre> list{
        {1, "OFICINA PRINCIPAL", 0.522},
        {2, "PLANTA DE PRODUCCION", 2.436},
        {3, "BODEGA Y CENTRO DE DISTRIBUCION", 1.044},
        {4, "OPERACION DE TRANSPORTE", 4.350},
        {5, "TALLER DE MANTENIMIENTO", 4.350},
        {6, "PUNTOS DE VENTA", 0.522},
    };
    return list;
}

const std::vector<Provider>& providers() {
    static const std::vector<Provider> list{
        {1, "SERVICIO NACIONAL DE APRENDIZAJE SENA", 'A'},
        {2, "INSTITUTO COLOMBIANO BIENESTAR FAMILIAR", 'A'},
        {3, "CAJA DE COMPENSACION COMFAMA", 'A'},
        {4, "CAJA DE COMPENSACION COMFENALCO VALLE", 'A'},
        {5, "CAJA DE COMPENSACION COMPENSAR", 'A'},
        {6, "ESCUELA SUPERIOR DE ADMON. PUBLICA ESAP", 'I'},
        {7, "ESCUELAS INDUSTRIALES E INST. TECNICOS", 'A'},
        {8, "CAJA DE COMPENSACION COMBARRANQUILLA", 'A'},
    };
    return list;
}

const std::vector<Coded>& services() {
    static const std::vector<Coded> list{
        {1, "RUTA URBANA NORTE - SUR"},
        {2, "RUTA URBANA ORIENTE - OCCIDENTE"},
        {3, "RUTA INTERMUNICIPAL BOGOTA - SOACHA"},
        {4, "RUTA INTERMUNICIPAL BOGOTA - CHIA - ZIPAQUIRA"},
        {5, "SERVICIO ESPECIAL EMPRESARIAL"},
        {6, "SERVICIO ESCOLAR"},
    };
    return list;
}

const std::vector<Entity>& entities() {
    static const std::vector<Entity> list{
        {"AFP", "230201"}, {"AFP", "230301"}, {"AFP", "25-14"},  {"ARP", "14-23"},  {"ARP", "14-28"},
        {"EPS", "EPS005"}, {"EPS", "EPS008"}, {"EPS", "EPS010"}, {"EPS", "EPS037"},
    };
    return list;
}

const std::vector<Account>& accounts() {
    static const std::vector<Account> list{
        {"136595", "PRESTAMOS A TRABAJADORES", 'D'},
        {"237005", "APORTES A ENTIDADES PROMOTORAS DE SALUD", 'C'},
        {"237006", "APORTES A ADMINISTRADORAS DE RIESGOS LABORALES", 'C'},
        {"237010", "APORTES PARAFISCALES", 'C'},
        {"237025", "EMBARGOS JUDICIALES", 'C'},
        {"237030", "LIBRANZAS", 'C'},
        {"237095", "OTRAS RETENCIONES Y APORTES DE NOMINA", 'C'},
        {"238030", "FONDOS DE CESANTIAS Y PENSIONES", 'C'},
        {"250505", "SALARIOS POR PAGAR", 'C'},
        {"251005", "CESANTIAS CONSOLIDADAS", 'C'},
        {"252005", "PRIMA DE SERVICIOS", 'C'},
        {"252505", "VACACIONES CONSOLIDADAS", 'C'},
        {"510506", "SUELDOS", 'D'},
        {"510515", "HORAS EXTRAS Y RECARGOS", 'D'},
        {"510527", "AUXILIO DE TRANSPORTE", 'D'},
    };
    return list;
}

const std::vector<Requirement>& requirements() {
    static const std::vector<Requirement> list{
        {'E',
         'C',
         1,
         "EDUCACION BASICA Y MEDIA",
         {"BACHILLER ACADEMICO", "BACHILLER TECNICO", "BASICA PRIMARIA"}},
        {'E',
         'C',
         2,
         "EDUCACION TECNICA Y TECNOLOGICA",
         {"TECNICO EN LOGISTICA", "TECNOLOGO EN GESTION ADMINISTRATIVA", "TECNICO EN MECANICA AUTOMOTRIZ",
          "TECNOLOGO EN CONTABILIDAD Y FINANZAS"}},
        {'E',
         'C',
         3,
         "EDUCACION UNIVERSITARIA",
         {"CONTADURIA PUBLICA", "ADMINISTRACION DE EMPRESAS", "INGENIERIA INDUSTRIAL", "PSICOLOGIA"}},
        {'E',
         'C',
         4,
         "LICENCIAS Y CERTIFICACIONES",
         {"LICENCIA DE CONDUCCION C2", "LICENCIA DE CONDUCCION C3",
          "CERTIFICADO DE MANIPULACION DE ALIMENTOS", "CURSO DE TRABAJO SEGURO EN ALTURAS"}},
        {'X',
         'C',
         10,
         "EXPERIENCIA LABORAL",
         {"SIN EXPERIENCIA", "MINIMO SEIS MESES", "MINIMO UN AÑO", "MINIMO TRES AÑOS"}},
    };
    return list;
}

namespace {

Job admin(const char* position, int costCentre, int level2 = 0) {
    return {position, 1, costCentre, 1, 1, level2, JobKind::Administrative, 0.9};
}

} // namespace

const std::vector<Company>& companies() {
    using K = JobKind;
    static const std::vector<Company> list{
        {1,
         "SERVICIOS TEMPORALES ANDINOS S.A.S.",
         900482715,
         5,
         1,
         "STA",
         0x1F4E79,
         120,
         true,
         {{10, "GERENCIA GENERAL"},
          {20, "ADMINISTRACION Y FINANZAS"},
          {30, "GESTION HUMANA"},
          {40, "COMERCIAL"},
          {110, "OPERACION INDUSTRIAS ALIMENTICIAS"},
          {120, "OPERACION TRANSPORTES RAPIDO"},
          {130, "OPERACION COMERCIALIZADORA CARIBE"}},
         {{1, 1, 0, "PERSONAL DE PLANTA"},
          {2, 1, 0, "INDUSTRIAS ALIMENTICIAS DEL VALLE"},
          {3, 1, 0, "TRANSPORTES RAPIDO BOGOTA"},
          {4, 1, 0, "COMERCIALIZADORA DEL CARIBE"},
          {11, 2, 1, "ADMINISTRACION"},
          {12, 2, 1, "COMERCIAL"},
          {21, 2, 2, "PLANTA CALI"},
          {22, 2, 2, "CENTRO DE DISTRIBUCION YUMBO"},
          {31, 2, 3, "OPERACION URBANA"},
          {32, 2, 3, "OPERACION INTERMUNICIPAL"},
          {41, 2, 4, "PUNTOS DE VENTA BARRANQUILLA"}},
         {
             // 0: own staff
             {{admin("101", 10, 11), admin("102", 20, 11), admin("103", 20, 11), admin("107", 30, 11)},
              {admin("104", 20, 11),
               admin("105", 30, 11),
               admin("106", 10, 11),
               {"501", 1, 40, 1, 1, 12, K::Administrative, 0.9},
               admin("104", 20, 11),
               admin("105", 30, 11)}},
             // 1: workers at the food company
             {{},
              {{"201", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"201", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"205", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"202", 2, 110, 3, 2, 22, K::Operative, 0.1},
               {"201", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"203", 2, 110, 3, 2, 22, K::Operative, 0.1},
               {"205", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"204", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"206", 2, 110, 2, 2, 21, K::Operative, 0.1},
               {"202", 2, 110, 3, 2, 22, K::Operative, 0.1}}},
             // 2: workers at the transport company
             {{},
              {{"301", 3, 120, 4, 3, 31, K::Driver, 0.15},
               {"301", 3, 120, 4, 3, 32, K::Driver, 0.15},
               {"302", 3, 120, 4, 3, 31, K::Driver, 0.15},
               {"301", 3, 120, 4, 3, 32, K::Driver, 0.15},
               {"303", 2, 120, 5, 3, 31, K::Operative, 0.15},
               {"304", 1, 120, 1, 3, 31, K::Operative, 0.15},
               {"301", 3, 120, 4, 3, 31, K::Driver, 0.15},
               {"302", 3, 120, 4, 3, 32, K::Driver, 0.15}}},
             // 3: workers at the retailer
             {{},
              {{"501", 2, 130, 6, 4, 41, K::Operative, 0.1},
               {"502", 2, 130, 6, 4, 41, K::Operative, 0.1},
               {"503", 2, 130, 6, 4, 41, K::Operative, 0.1},
               {"502", 2, 130, 6, 4, 41, K::Operative, 0.1}}},
             // 4: apprentices placed with the user companies
             {{}, {{"401", 4, 110, 2, 2, 21, K::Apprentice, 0}, {"401", 4, 120, 1, 3, 31, K::Apprentice, 0}}},
         },
         {0, 1, 2, 1, 2, 3, 1, 2, 1, 4, 2, 1, 2, 1, 0, 2, 1, 3, 2, 1},
         1,
         2,
         3,
         {1, 2, 3},
         {101, 102, 103, 104, 105},
         {{"PRP", "PRESTAMOS A EMPLEADOS", "136595", 5},
          {"EPS", "APORTES EPS POR PAGAR", "237005", 12},
          {"ARP", "APORTES ARL POR PAGAR", "237006", 13},
          {"NOV", "LIBRANZAS POR PAGAR", "237030", 6},
          {"NOV", "EMBARGOS JUDICIALES POR PAGAR", "237025", 11},
          {"NOV", "RETENCION EN LA FUENTE POR PAGAR", "236505", 14},
          {"OTR", "OTRAS RETENCIONES DE NOMINA", "237095", 2}}},

        {2,
         "INDUSTRIAS ALIMENTICIAS DEL VALLE S.A.",
         890315642,
         76,
         1,
         "IAV",
         0x7A3E00,
         45,
         false,
         {{10, "GERENCIA"},
          {20, "ADMINISTRACION"},
          {50, "PRODUCCION"},
          {60, "LOGISTICA Y DESPACHOS"},
          {70, "MANTENIMIENTO"}},
         {{1, 1, 0, "DIRECCION ADMINISTRATIVA"},
          {2, 1, 0, "DIRECCION DE OPERACIONES"},
          {21, 2, 2, "PLANTA DE PRODUCCION"},
          {22, 2, 2, "LOGISTICA"}},
         {
             {{admin("101", 10), admin("102", 20), admin("103", 20), admin("107", 20)},
              {admin("104", 20), admin("105", 20), admin("106", 20), admin("104", 20)}},
             {{},
              {{"201", 2, 50, 2, 2, 21, K::Operative, 0.6},
               {"201", 2, 50, 2, 2, 21, K::Operative, 0.6},
               {"205", 2, 50, 2, 2, 21, K::Operative, 0.6},
               {"202", 2, 60, 3, 2, 22, K::Operative, 0.6},
               {"203", 2, 60, 3, 2, 22, K::Operative, 0.6},
               {"204", 2, 50, 2, 2, 21, K::Operative, 0.6},
               {"206", 2, 70, 5, 2, 21, K::Operative, 0.6},
               {"201", 2, 50, 2, 2, 21, K::Operative, 0.6}}},
             {{}, {{"401", 4, 50, 2, 2, 21, K::Apprentice, 0}}},
         },
         {0, 1, 1, 1, 1, 0, 1, 1, 1, 2},
         1,
         2,
         4,
         {1, 2},
         {201},
         {{"PRP", "PRESTAMOS A EMPLEADOS", "136595", 5},
          {"EPS", "APORTES EPS POR PAGAR", "237005", 12},
          {"NOV", "LIBRANZAS POR PAGAR", "237030", 6}}},

        {3,
         "TRANSPORTES RAPIDO BOGOTA S.A.",
         860027519,
         11,
         1,
         "TRB",
         0x0B6E4F,
         28,
         false,
         {{10, "GERENCIA"},
          {20, "ADMINISTRACION"},
          {80, "OPERACION RUTAS URBANAS"},
          {81, "OPERACION RUTAS INTERMUNICIPALES"},
          {90, "TALLER"}},
         {{1, 1, 0, "DIRECCION ADMINISTRATIVA"},
          {2, 1, 0, "DIRECCION DE OPERACIONES"},
          {21, 2, 2, "RUTAS URBANAS"},
          {22, 2, 2, "RUTAS INTERMUNICIPALES"}},
         {
             {{admin("101", 10), admin("102", 20), admin("103", 20)},
              {admin("104", 20), admin("105", 20), admin("106", 20), admin("107", 20)}},
             {{},
              {{"301", 3, 80, 4, 2, 21, K::Driver, 0.6},
               {"301", 3, 81, 4, 2, 22, K::Driver, 0.6},
               {"302", 3, 80, 4, 2, 21, K::Driver, 0.6},
               {"301", 3, 80, 4, 2, 21, K::Driver, 0.6},
               {"302", 3, 81, 4, 2, 22, K::Driver, 0.6}}},
             {{}, {{"303", 2, 90, 5, 2, 21, K::Operative, 0.6}, {"304", 2, 80, 1, 2, 21, K::Operative, 0.6}}},
             {{}, {{"401", 4, 90, 5, 2, 21, K::Apprentice, 0}}},
         },
         {0, 1, 1, 1, 2, 1, 1, 2, 1, 3},
         1,
         2,
         5,
         {1, 2, 3},
         {301},
         {{"EPS", "APORTES EPS POR PAGAR", "237005", 12},
          {"ARP", "APORTES ARL POR PAGAR", "237006", 13},
          {"NOV", "EMBARGOS JUDICIALES POR PAGAR", "237025", 11}}},

        {4,
         "COMERCIALIZADORA DEL CARIBE S.A.S.",
         901234567,
         8,
         -1,
         "CC",
         0x8E1B3A,
         7,
         false,
         {{10, "GERENCIA"}, {40, "COMERCIAL"}, {45, "PUNTOS DE VENTA"}},
         {{1, 1, 0, "DIRECCION GENERAL"}, {2, 1, 0, "RED DE PUNTOS DE VENTA"}},
         {
             {{admin("101", 10), admin("103", 10)}, {admin("104", 10), admin("106", 10)}},
             {{},
              {{"501", 2, 40, 6, 2, 0, K::Operative, 0.5},
               {"502", 2, 45, 6, 2, 0, K::Operative, 0.5},
               {"503", 2, 45, 6, 2, 0, K::Operative, 0.5},
               {"502", 2, 45, 6, 2, 0, K::Operative, 0.5}}},
         },
         {0, 1, 1, 1},
         1,
         2,
         8,
         {1, 2},
         {},
         {}},
    };
    return list;
}

const std::vector<SelectionGroup>& selectionGroups() {
    static const std::vector<SelectionGroup> list{
        {"GS01", "INDUSTRIAS ALIMENTICIAS DEL VALLE", 110, 2, {"201", "205", "202", "203", "204", "206"}},
        {"GS02", "TRANSPORTES RAPIDO BOGOTA", 120, 3, {"301", "302", "303", "304", "401"}},
        {"GS03", "COMERCIALIZADORA DEL CARIBE", 130, 4, {"501", "502", "503"}},
        {"GS04", "SELECCION PERSONAL DE PLANTA", 20, 0, {"104", "105", "106"}},
    };
    return list;
}

double minimumSalary(int year) {
    if (year <= 2024)
        return 1300000.0;
    return year == 2025 ? 1423500.0 : 1750905.0;
}

double transportAllowance(int year) {
    if (year <= 2024)
        return 162000.0;
    return year == 2025 ? 200000.0 : 249095.0;
}

} // namespace demo
