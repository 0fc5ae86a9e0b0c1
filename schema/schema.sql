-- The payroll database that the management reports read: organisation, people, contracts, the two payroll
-- sources, contribution settlements, selection, staffing plan, report parameters and the ledger balances.
--
-- One text for every backend. It keeps to types and clauses that SQLite and PostgreSQL both accept
-- unchanged: SMALLINT, INTEGER, DOUBLE PRECISION, CHAR(n), VARCHAR(n), TIMESTAMP and BYTEA (SQLite takes
-- any type name; BYTEA gets numeric affinity there, which leaves blobs untouched). Dates are ISO text in
-- SQLite ("YYYY-MM-DD" for whole days, "YYYY-MM-DD HH:MM:SS" otherwise) and TIMESTAMP values in PostgreSQL.
--
-- Layout of this file, relied on by Schema: statements end with ";" outside quotes and comments; the line
-- "-- @indexes" separates the tables and the view from the secondary indexes, which a bulk load creates
-- after the rows are in. Primary keys stay with their tables. The big movement tables are keyed by company
-- and date first: the reports read them by company and period, and a load written in date order then
-- appends to the key instead of scattering through it.

-- Organisation -----------------------------------------------------------------------------------------

CREATE TABLE GN_EMPRE (
    COD_EMPR SMALLINT NOT NULL,
    NOM_EMPR VARCHAR(80),
    NIT_EMPR DOUBLE PRECISION,
    BMP_REPO BYTEA,                 -- logo printed in the page header (PNG)
    PRIMARY KEY (COD_EMPR)
);

CREATE TABLE GN_CCOST (
    COD_EMPR SMALLINT NOT NULL,
    COD_CCOS SMALLINT NOT NULL,
    NOM_CCOS CHAR(90),
    PRIMARY KEY (COD_EMPR, COD_CCOS)
);

-- Organisation trees: COD_ARBO/IDE_ARBO name the tree, NUM_NIVE the depth (1 = first level), COD_PADR the
-- node one level up. The temporary-staff report recognises a user company by the name of a level-1 node.
CREATE TABLE GN_NIVEL (
    COD_EMPR SMALLINT NOT NULL,
    COD_ARBO SMALLINT NOT NULL,
    IDE_ARBO SMALLINT NOT NULL,
    COD_NIVE INTEGER NOT NULL,
    NUM_NIVE SMALLINT,
    NOM_NIVE CHAR(90),
    COD_PADR INTEGER,
    PRIMARY KEY (COD_EMPR, COD_ARBO, IDE_ARBO, COD_NIVE)
);

-- Territorial division: municipality 0 of a department is the department itself; COD_LOCA 0 is the
-- municipality as a whole.
CREATE TABLE GN_DIVIP (
    COD_PAIS SMALLINT NOT NULL,
    COD_DPTO SMALLINT NOT NULL,
    COD_MPIO SMALLINT NOT NULL,
    COD_LOCA SMALLINT NOT NULL,
    NOM_MPIO CHAR(30),
    PRIMARY KEY (COD_PAIS, COD_DPTO, COD_MPIO, COD_LOCA)
);

-- People ------------------------------------------------------------------------------------------------

CREATE TABLE BI_EMPLE (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NOM_EMPL CHAR(25),
    APE_EMPL CHAR(40),
    SEX_EMPL CHAR(1),               -- F, M
    EST_CIVI CHAR(1),               -- C, D, O, S, U, V
    TIP_DOCU CHAR(1),               -- C, E, R, T
    FEC_NACI TIMESTAMP,
    GRA_EDUC CHAR(2),               -- school grade "01".."11"
    FOR_ACAD CHAR(1),               -- B basic, T technical, G technology, R university
    PRIMARY KEY (COD_EMPR, COD_EMPL)
);

-- Applicants of the selection process (hired or not).
CREATE TABLE RL_EMPLE (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    TIP_DOCU CHAR(1),
    APE_EMPL CHAR(40),
    NOM_EMPL CHAR(25),
    FEC_NACI TIMESTAMP,
    SEX_EMPL CHAR(1),
    GRA_EDUC CHAR(2),
    PRIMARY KEY (COD_EMPR, COD_EMPL)
);

CREATE TABLE BI_CARGO (
    COD_EMPR SMALLINT NOT NULL,
    COD_CARG CHAR(6) NOT NULL,
    NOM_CARG CHAR(40),
    PRIMARY KEY (COD_EMPR, COD_CARG)
);

-- Payroll catalogues ------------------------------------------------------------------------------------

CREATE TABLE NM_TNOMI (
    COD_EMPR SMALLINT NOT NULL,
    COD_TNOM SMALLINT NOT NULL,
    NOM_TNOM CHAR(40),
    PRIMARY KEY (COD_EMPR, COD_TNOM)
);

CREATE TABLE NM_TPROT (
    COD_EMPR SMALLINT NOT NULL,
    COD_PROT SMALLINT NOT NULL,
    NOM_PROT CHAR(40),
    PRIMARY KEY (COD_EMPR, COD_PROT)
);

-- TIP_CONC: I income, E deduction; any other letter (P provision, O informative) adds nothing to a net.
CREATE TABLE NM_CONCE (
    COD_EMPR SMALLINT NOT NULL,
    COD_CONC SMALLINT NOT NULL,
    NOM_CONC CHAR(40),
    TIP_CONC CHAR(1),
    PRIMARY KEY (COD_EMPR, COD_CONC)
);

-- Prototype membership: the concepts of each prototype.
CREATE TABLE NM_PROTO (
    COD_EMPR SMALLINT NOT NULL,
    COD_PROT SMALLINT NOT NULL,
    COD_CONC SMALLINT NOT NULL,
    PRIMARY KEY (COD_EMPR, COD_PROT, COD_CONC)
);

-- Contracts -----------------------------------------------------------------------------------------------

-- TIP_CONT: I indefinite, F fixed term, S apprenticeship. IND_ACTI: A active, I inactive, R retired.
-- COD_GPRO: the process group, a prototype code (drivers carry the commission prototype).
CREATE TABLE NM_CONTR (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    COD_CCOS SMALLINT,
    COD_CARG CHAR(6),
    COD_TNOM SMALLINT,
    TIP_CONT CHAR(1),
    IND_ACTI CHAR(1),
    FEC_INGR TIMESTAMP,
    FEC_DEJA TIMESTAMP,
    FEC_VENC TIMESTAMP,
    SUE_BASI DOUBLE PRECISION,
    COD_GPRO SMALLINT,
    COD_NIV1 INTEGER,
    COD_ARBO SMALLINT,
    IDE_ARBO SMALLINT,
    COD_CENP SMALLINT,
    PRIMARY KEY (COD_EMPR, COD_EMPL, NRO_CONT)
);

-- Payroll movements ----------------------------------------------------------------------------------------

-- Pre-payroll (the open runs) and accumulated payroll (the closed ones) have the same shape.
-- TIP_NOMI: N normal, A additional, D final settlement, C severance, X extra, P bonus, V vacations.
CREATE TABLE NM_PRENO (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    COD_CONC SMALLINT NOT NULL,
    FEC_ACUM TIMESTAMP NOT NULL,
    TIP_NOMI CHAR(1) NOT NULL,
    COD_TNOM SMALLINT,
    COD_CCOS SMALLINT,
    CAN_ACUM DOUBLE PRECISION,
    VAL_ACUM DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, FEC_ACUM, TIP_NOMI, COD_EMPL, NRO_CONT, COD_CONC)
);

CREATE TABLE NM_ACUMU (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    COD_CONC SMALLINT NOT NULL,
    FEC_ACUM TIMESTAMP NOT NULL,
    TIP_NOMI CHAR(1) NOT NULL,
    COD_TNOM SMALLINT,
    COD_CCOS SMALLINT,
    CAN_ACUM DOUBLE PRECISION,
    VAL_ACUM DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, FEC_ACUM, TIP_NOMI, COD_EMPL, NRO_CONT, COD_CONC)
);

-- Novelties with a running balance (loans, payroll deductions agreed with lenders, garnishments):
-- FEC_PAGO is the date the novelty takes effect, SAL_NOVE what is still owed.
CREATE TABLE NM_NOVED (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_NOVE INTEGER NOT NULL,
    NRO_CONT SMALLINT,
    COD_CONC SMALLINT,
    FEC_PAGO TIMESTAMP,
    VAL_NOVE DOUBLE PRECISION,
    SAL_NOVE DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, COD_EMPL, NRO_NOVE)
);

-- Contribution settlement documents per entity (TIP_ENTI EPS, ARP, AFP); DIF_DOCT is paid minus due.
CREATE TABLE NM_CINCA (
    COD_EMPR SMALLINT NOT NULL,
    TIP_ENTI CHAR(3) NOT NULL,
    COD_ENTI VARCHAR(10) NOT NULL,
    NRO_DOCU INTEGER NOT NULL,
    FEC_DOCU TIMESTAMP,
    DIF_DOCT DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, TIP_ENTI, COD_ENTI, NRO_DOCU)
);

-- Absences --------------------------------------------------------------------------------------------------

CREATE TABLE NM_VACAC (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    NRO_VACA SMALLINT NOT NULL,
    FEC_DIS1 TIMESTAMP,             -- first day enjoyed
    FEC_DIS2 TIMESTAMP,             -- last day enjoyed
    DIA_DISF DOUBLE PRECISION,      -- working days enjoyed
    PRIMARY KEY (COD_EMPR, COD_EMPL, NRO_CONT, NRO_VACA)
);

CREATE TABLE NM_INCAP (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    NRO_INCA INTEGER NOT NULL,
    FEC_DESD TIMESTAMP,
    FEC_HAST TIMESTAMP,
    DIA_INCA DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, COD_EMPL, NRO_CONT, NRO_INCA)
);

-- Monthly vacation consolidation: settlement base, pending days and their value.
CREATE TABLE NM_CONVA (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    FEC_CONS TIMESTAMP NOT NULL,
    BAS_LIQU DOUBLE PRECISION,
    DIA_CONS DOUBLE PRECISION,
    VAC_CONS DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, FEC_CONS, COD_EMPL, NRO_CONT)
);

-- Company parameters ---------------------------------------------------------------------------------------

CREATE TABLE NM_PARAM (
    COD_EMPR SMALLINT NOT NULL,
    SAL_MINL DOUBLE PRECISION,      -- legal minimum monthly salary
    AUX_TRAN DOUBLE PRECISION,      -- legal transport allowance
    PRIMARY KEY (COD_EMPR)
);

-- The beneficiary entities (NM_BEPRO.COD_PROV) of the three payroll levies.
CREATE TABLE NM_PARIN (
    COD_EMPR SMALLINT NOT NULL,
    COD_SENA SMALLINT,
    COD_ICBF SMALLINT,
    COD_CDCF SMALLINT,
    PRIMARY KEY (COD_EMPR)
);

-- Parameters of the management reports, by TIP_PARA: CN novelties to reconcile (TIP_NOVE PRP, EPS, ARP,
-- NOV; account and prototype), PF positions of the levies report (the position code in COD_TNOM), GH
-- payroll classes of the human-management report. "select *" reads these twelve columns in this order.
CREATE TABLE NM_PRTGE (
    ACT_USUA CHAR(8),
    ACT_HORA TIMESTAMP,
    ACT_ESTA CHAR(1),
    COD_EMPR SMALLINT NOT NULL,
    RMT_PRTG INTEGER NOT NULL,
    TIP_PARA CHAR(2),
    TIP_NOVE CHAR(3),
    NOM_NOVE VARCHAR(50),
    COD_CUEN VARCHAR(14),
    COD_PROT SMALLINT,
    COD_TNOM SMALLINT,
    DES_AGRU VARCHAR(255),
    PRIMARY KEY (COD_EMPR, RMT_PRTG)
);

-- Social security and levies ------------------------------------------------------------------------------

-- Monthly social-security self-assessment per contract: contribution base, health (CSA), pension (COP)
-- and occupational risk (CAR) shares of employee and employer.
CREATE TABLE NM_AUTOL (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    FEC_PROC TIMESTAMP NOT NULL,
    ING_SALU DOUBLE PRECISION,
    CSA_EMPL DOUBLE PRECISION,
    CSA_PATR DOUBLE PRECISION,
    COP_EMPL DOUBLE PRECISION,
    COP_PATR DOUBLE PRECISION,
    CAR_PATR DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, FEC_PROC, COD_EMPL, NRO_CONT)
);

-- Monthly levy settlement per contract and beneficiary entity.
CREATE TABLE NM_PROPA (
    COD_EMPR SMALLINT NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    COD_PROV SMALLINT NOT NULL,
    FEC_LIQU TIMESTAMP NOT NULL,
    VAL_LIQU DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, FEC_LIQU, COD_EMPL, NRO_CONT, COD_PROV)
);

-- Beneficiary entities; IND_PROV A active, I inactive.
CREATE TABLE NM_BEPRO (
    COD_EMPR SMALLINT NOT NULL,
    COD_PROV SMALLINT NOT NULL,
    NOM_PROV CHAR(40),
    IND_PROV CHAR(1),
    PRIMARY KEY (COD_EMPR, COD_PROV)
);

CREATE TABLE NM_CENTP (
    COD_EMPR SMALLINT NOT NULL,
    COD_CENP SMALLINT NOT NULL,
    NOM_CENP CHAR(40),
    TAR_ATEP DOUBLE PRECISION,      -- occupational-risk rate, percent of the contribution base
    PRIMARY KEY (COD_EMPR, COD_CENP)
);

-- Social-security identity of the company: check digit of its tax number and its territory.
CREATE TABLE NM_PARSS (
    COD_EMPR SMALLINT NOT NULL,
    DIG_VERI CHAR(1),
    COD_PAIS SMALLINT,
    COD_DPTO SMALLINT,
    COD_MPIO SMALLINT,
    PRIMARY KEY (COD_EMPR)
);

-- Drivers ------------------------------------------------------------------------------------------------------

-- COD_CTOR is the driver's employee code; TIP_CTOR 1 group holder, 2 holder, 3 reliever, 4 agency or
-- administration, 5 group reliever; COD_SBAS the base service (NM_SERVI).
CREATE TABLE NM_CDTOR (
    COD_EMPR SMALLINT NOT NULL,
    COD_CTOR DOUBLE PRECISION NOT NULL,
    TIP_CTOR CHAR(1),
    COD_SBAS SMALLINT,
    PRIMARY KEY (COD_EMPR, COD_CTOR)
);

CREATE TABLE NM_SERVI (
    COD_EMPR SMALLINT NOT NULL,
    COD_SERV SMALLINT NOT NULL,
    NOM_SERV CHAR(128),
    PRIMARY KEY (COD_EMPR, COD_SERV)
);

-- Commission liquidations of drivers (vehicle maintenance); TIP_COMI N normal, A advance.
CREATE TABLE NM_COMLI (
    COD_EMPR SMALLINT NOT NULL,
    NRO_LIQU INTEGER NOT NULL,
    COD_EMPL DOUBLE PRECISION NOT NULL,
    NRO_CONT SMALLINT NOT NULL,
    FEC_COMI TIMESTAMP,
    TIP_COMI CHAR(1),
    VAL_LIQU DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, NRO_LIQU)
);

-- Selection ------------------------------------------------------------------------------------------------------

-- Selection groups; the staffing company keeps one per user company, described by that company's name.
CREATE TABLE SL_GRSEL (
    COD_EMPR SMALLINT NOT NULL,
    COD_GRSE CHAR(8) NOT NULL,
    DES_GRSE CHAR(80),
    PRIMARY KEY (COD_EMPR, COD_GRSE)
);

-- Staff requisitions, one row per requested position (COD_CARP).
CREATE TABLE SL_REQPE (
    COD_EMPR SMALLINT NOT NULL,
    COD_GRSE CHAR(8) NOT NULL,
    COD_REQS CHAR(8) NOT NULL,
    COD_CARP CHAR(6) NOT NULL,
    COD_CCOS SMALLINT,
    FEC_SOLI TIMESTAMP,
    NRO_PLAZ INTEGER,               -- places asked for
    NRO_VACU INTEGER,               -- places covered
    SUE_PROP DOUBLE PRECISION,      -- salary offered, 0 = the legal minimum
    PRIMARY KEY (COD_EMPR, COD_GRSE, COD_REQS, COD_CARP)
);

-- Applicants of a requisition: selection state EST_SELE and management decision DES_GERE.
CREATE TABLE SL_INCOA (
    COD_EMPR SMALLINT NOT NULL,
    COD_GRSE CHAR(8) NOT NULL,
    COD_REQS CHAR(8) NOT NULL,
    COD_CARP CHAR(6) NOT NULL,
    COD_ASPI DOUBLE PRECISION NOT NULL,
    EST_SELE CHAR(1),
    DES_GERE CHAR(1),
    PRIMARY KEY (COD_EMPR, COD_GRSE, COD_REQS, COD_CARP, COD_ASPI)
);

-- Requirements of a requisition; COD_REGI E education, X experience.
CREATE TABLE SL_REQPF (
    COD_EMPR SMALLINT NOT NULL,
    COD_GRSE CHAR(8) NOT NULL,
    COD_REQS CHAR(8) NOT NULL,
    COD_REGI CHAR(1) NOT NULL,
    TIP_APLI CHAR(1) NOT NULL,
    COD_REQU SMALLINT NOT NULL,
    COD_ESPE SMALLINT NOT NULL,
    PRIMARY KEY (COD_EMPR, COD_GRSE, COD_REQS, COD_REGI, TIP_APLI, COD_REQU, COD_ESPE)
);

-- Staffing plan ------------------------------------------------------------------------------------------------

CREATE TABLE AC_REQUI (
    COD_EMPR SMALLINT NOT NULL,
    TIP_REGI CHAR(1) NOT NULL,
    TIP_APLI CHAR(1) NOT NULL,
    COD_REQU SMALLINT NOT NULL,
    NOM_REQU CHAR(40),
    PRIMARY KEY (COD_EMPR, TIP_REGI, TIP_APLI, COD_REQU)
);

CREATE TABLE AC_ESPEC (
    COD_EMPR SMALLINT NOT NULL,
    TIP_REGI CHAR(1) NOT NULL,
    TIP_APLI CHAR(1) NOT NULL,
    COD_REQU SMALLINT NOT NULL,
    COD_ESPE SMALLINT NOT NULL,
    NOM_ESPE VARCHAR(255),
    PRIMARY KEY (COD_EMPR, TIP_REGI, TIP_APLI, COD_REQU, COD_ESPE)
);

-- Posts of the staffing plan; COD_EMPL 0 marks a vacant post.
CREATE TABLE AC_PLANT (
    COD_EMPR SMALLINT NOT NULL,
    NRO_PLAZ INTEGER NOT NULL,
    COD_CARG CHAR(6),
    COD_CCOS SMALLINT,
    COD_EMPL DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, NRO_PLAZ)
);

-- Ledger -------------------------------------------------------------------------------------------------------

-- Chart of accounts; NAT_CUEN C credit nature, D debit nature.
CREATE TABLE CT_CUENT (
    COD_EMPR SMALLINT NOT NULL,
    COD_CUEN VARCHAR(30) NOT NULL,
    NOM_CUEN VARCHAR(80),
    NAT_CUEN CHAR(1),
    PRIMARY KEY (COD_EMPR, COD_CUEN)
);

-- Movements of an account per month; month 0 carries the opening balance of the year.
CREATE TABLE CT_SALDO (
    COD_EMPR SMALLINT NOT NULL,
    ANO_ACUM SMALLINT NOT NULL,
    MES_ACUM SMALLINT NOT NULL,
    COD_CUEN VARCHAR(30) NOT NULL,
    VAL_DEBI DOUBLE PRECISION,
    VAL_CRED DOUBLE PRECISION,
    PRIMARY KEY (COD_EMPR, ANO_ACUM, MES_ACUM, COD_CUEN)
);

CREATE VIEW V_SALDOS_CONTABLES AS
SELECT S.COD_EMPR, S.ANO_ACUM, S.MES_ACUM, S.COD_CUEN, C.NAT_CUEN, S.VAL_DEBI, S.VAL_CRED
FROM CT_SALDO S
INNER JOIN CT_CUENT C ON (C.COD_EMPR = S.COD_EMPR) AND (C.COD_CUEN = S.COD_CUEN);

-- @indexes

-- The movement tables keyed by date are also read per contract (joins from NM_CONTR): the payroll sources
-- by contract and date, which is how the user-company invoice reads a period's payments of each contract.
CREATE INDEX IF NOT EXISTS IX_NM_ACUMU_CONT ON NM_ACUMU (COD_EMPR, COD_EMPL, NRO_CONT, FEC_ACUM);
CREATE INDEX IF NOT EXISTS IX_NM_PRENO_CONT ON NM_PRENO (COD_EMPR, COD_EMPL, NRO_CONT, FEC_ACUM);
CREATE INDEX IF NOT EXISTS IX_NM_AUTOL_CONT ON NM_AUTOL (COD_EMPR, COD_EMPL, NRO_CONT);
CREATE INDEX IF NOT EXISTS IX_NM_PROPA_CONT ON NM_PROPA (COD_EMPR, COD_EMPL, NRO_CONT);
CREATE INDEX IF NOT EXISTS IX_NM_COMLI_FEC ON NM_COMLI (COD_EMPR, FEC_COMI);
CREATE INDEX IF NOT EXISTS IX_NM_CONTR_TNOM ON NM_CONTR (COD_EMPR, COD_TNOM);
CREATE INDEX IF NOT EXISTS IX_NM_CONTR_CARG ON NM_CONTR (COD_EMPR, COD_CARG);
CREATE INDEX IF NOT EXISTS IX_SL_REQPE_FEC ON SL_REQPE (COD_EMPR, FEC_SOLI);
CREATE INDEX IF NOT EXISTS IX_NM_VACAC_FEC ON NM_VACAC (COD_EMPR, FEC_DIS1);
CREATE INDEX IF NOT EXISTS IX_NM_INCAP_FEC ON NM_INCAP (COD_EMPR, FEC_DESD);
