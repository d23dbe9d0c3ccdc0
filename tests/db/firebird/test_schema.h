// The schema the driver tests run against: the adjustment table as the program reads it, a table
// with a column of every type, and procedures that write.
#pragma once

inline constexpr const char* kTestSchema = R"sql(
create table AJUSTE_CIERRE (
  AJCI_ID integer not null primary key,
  AJCI_FECINI date,
  AJCI_FECFIN date,
  AJCI_PORC numeric(15,4),
  AJCI_FACTOR numeric(15,4));
create table TIPOS (
  ID integer not null primary key,
  C_SMALL smallint, C_INT integer, C_BIG bigint, C_DBL double precision,
  C_NUM numeric(15,4), C_DEC decimal(9,2), C_NUM18 numeric(18,4),
  C_DATE date, C_TIME time, C_TS timestamp,
  C_CHAR char(10), C_VAR varchar(40), C_OCT varchar(16) character set octets,
  C_MEMO blob sub_type text, C_BIN blob sub_type binary, C_BOOL boolean);
create table MARCAS (N integer);
set term ^;
create procedure ESCRIBE (a varchar(10)) returns (n integer, porc numeric(15,4)) as
begin
  insert into MARCAS values (1);
  n = 1; porc = 0.8;
  suspend;
end^
create procedure CUENTA returns (total integer) as
begin
  select count(*) from MARCAS into :total;
end^
set term ;^
insert into AJUSTE_CIERRE values (1, '2023-03-01', '2023-03-31', 19.0000, 0.8000);
insert into AJUSTE_CIERRE values (2, '2023-03-01', '2023-03-31', 5.0000, 0.7500);
)sql";
