/* The posting of cash sales: LEER_FECHA reads a date as the program writes it, and
   CONTADO_QUELMO_PREF posts one point of sale's pending cash invoices of a period. */

SET TERM ^ ;

/* Reads day/month/year with "/", "-" or "." between the parts and a year of two or four digits
   (a two-digit year falls within 50 years of the current one); year/month/day with a four-digit
   year first is read too. Anything else raises FECHA_NO_VALIDA naming the text. */
CREATE FUNCTION LEER_FECHA (TEXTO VARCHAR(30)) RETURNS DATE
AS
  DECLARE T VARCHAR(30);
  DECLARE P1 INTEGER;
  DECLARE P2 INTEGER;
  DECLARE A VARCHAR(30);
  DECLARE B VARCHAR(30);
  DECLARE C VARCHAR(30);
  DECLARE D INTEGER;
  DECLARE M INTEGER;
  DECLARE Y INTEGER;
  DECLARE ACTUAL INTEGER;
  DECLARE R DATE;
BEGIN
  T = REPLACE(REPLACE(TRIM(COALESCE(TEXTO, '')), '-', '/'), '.', '/');
  P1 = POSITION('/' IN T);
  P2 = IIF(P1 > 0, POSITION('/', T, P1 + 1), 0);
  IF (P1 < 2 OR P2 < P1 + 2 OR P2 >= CHAR_LENGTH(T) OR POSITION('/', T, P2 + 1) > 0) THEN
    EXCEPTION FECHA_NO_VALIDA 'Fecha no valida: ''' || COALESCE(TEXTO, '') || '''';
  A = SUBSTRING(T FROM 1 FOR P1 - 1);
  B = SUBSTRING(T FROM P1 + 1 FOR P2 - P1 - 1);
  C = SUBSTRING(T FROM P2 + 1);
  IF (NOT (A SIMILAR TO '[0-9]{1,4}' AND B SIMILAR TO '[0-9]{1,2}' AND C SIMILAR TO '[0-9]{1,4}')) THEN
    EXCEPTION FECHA_NO_VALIDA 'Fecha no valida: ''' || TEXTO || '''';
  IF (CHAR_LENGTH(A) = 4) THEN
  BEGIN
    Y = CAST(A AS INTEGER);
    M = CAST(B AS INTEGER);
    D = CAST(C AS INTEGER);
  END
  ELSE
  BEGIN
    IF (CHAR_LENGTH(A) > 2 OR (CHAR_LENGTH(C) <> 2 AND CHAR_LENGTH(C) <> 4)) THEN
      EXCEPTION FECHA_NO_VALIDA 'Fecha no valida: ''' || TEXTO || '''';
    D = CAST(A AS INTEGER);
    M = CAST(B AS INTEGER);
    Y = CAST(C AS INTEGER);
    IF (CHAR_LENGTH(C) = 2) THEN
    BEGIN
      ACTUAL = EXTRACT(YEAR FROM CURRENT_DATE);
      Y = (ACTUAL / 100) * 100 + Y;
      IF (Y > ACTUAL + 50) THEN
        Y = Y - 100;
      ELSE IF (Y <= ACTUAL - 50) THEN
        Y = Y + 100;
    END
  END
  IF (Y < 1 OR M < 1 OR M > 12 OR D < 1 OR D > 31) THEN
    EXCEPTION FECHA_NO_VALIDA 'Fecha no valida: ''' || TEXTO || '''';
  R = DATEADD(DAY, D - 1, DATEADD(MONTH, M - 1, CAST(LPAD(Y, 4, '0') || '-01-01' AS DATE)));
  /* 31/04 would roll over into May. */
  IF (EXTRACT(MONTH FROM R) <> M) THEN
    EXCEPTION FECHA_NO_VALIDA 'Fecha no valida: ''' || TEXTO || '''';
  RETURN R;
END^

/* Posts the cash invoices of point of sale PREFIJO dated from FECHA_INICIAL to FECHA_FINAL that
   are not posted yet: one journal entry per day and VAT rate, its sales scaled by the factor of
   AJUSTE_CIERRE whose period (AJCI_FECINI to AJCI_FECFIN, open-ended when the end is empty)
   holds the day and whose AJCI_PORC is the rate; factor 1 when there is none. Returns one row
   per entry created, none when nothing was pending. The invoices are claimed and every entry
   written before the first row is returned, so a caller that stops reading early still leaves
   a complete posting, and no invoice is ever posted twice: when another call is posting some
   of the same invoices at the same moment, this one waits for it and then posts nothing. */
CREATE PROCEDURE CONTADO_QUELMO_PREF (
  FECHA_INICIAL VARCHAR(30),
  FECHA_FINAL   VARCHAR(30),
  PREFIJO       VARCHAR(30))
RETURNS (
  ASIENTO       INTEGER,
  FECHA         DATE,
  PREFIJO_VENTA VARCHAR(10),
  PORC_IVA      NUMERIC(15,4),
  FACTOR        NUMERIC(15,4),
  VENTAS        NUMERIC(15,2),
  BASE          NUMERIC(15,2),
  IVA           NUMERIC(15,2),
  TOTAL         NUMERIC(15,2),
  FACTURAS      INTEGER)
AS
  DECLARE DESDE DATE;
  DECLARE HASTA DATE;
  DECLARE LOTE INTEGER;
  DECLARE VALOR NUMERIC(18,4);
BEGIN
  DESDE = LEER_FECHA(FECHA_INICIAL);
  HASTA = LEER_FECHA(FECHA_FINAL);
  LOTE = NEXT VALUE FOR GEN_LOTE;

  BEGIN
    UPDATE FACTURA SET FACT_CONTABILIZADA = 1, FACT_LOTE = :LOTE
     WHERE FACT_PREFIJO = :PREFIJO AND FACT_FORMA_PAGO = 'CO' AND FACT_CONTABILIZADA = 0
       AND FACT_FECHA BETWEEN :DESDE AND :HASTA;
    /* Another caller claimed some of these invoices at the same moment and has posted them:
       this call posts nothing (no row comes back), and a later call takes whatever is left. */
    WHEN GDSCODE deadlock, GDSCODE update_conflict, GDSCODE lock_conflict DO
      EXIT;
  END

  FOR SELECT F.FACT_FECHA, D.FADE_PORC_IVA, SUM(D.FADE_CANTIDAD * D.FADE_VALOR_UNITARIO),
             COUNT(DISTINCT F.FACT_ID)
        FROM FACTURA F JOIN FACTURA_DETALLE D ON D.FADE_FACTURA = F.FACT_ID
       WHERE F.FACT_LOTE = :LOTE
       GROUP BY F.FACT_FECHA, D.FADE_PORC_IVA
       ORDER BY F.FACT_FECHA, D.FADE_PORC_IVA
        INTO :FECHA, :PORC_IVA, :VALOR, :FACTURAS
  DO
  BEGIN
    FACTOR = COALESCE((SELECT FIRST 1 A.AJCI_FACTOR FROM AJUSTE_CIERRE A
                        WHERE A.AJCI_PORC = :PORC_IVA AND A.AJCI_FACTOR IS NOT NULL
                          AND A.AJCI_FECINI <= :FECHA
                          AND (A.AJCI_FECFIN IS NULL OR A.AJCI_FECFIN >= :FECHA)
                        ORDER BY A.AJCI_FECINI DESC, A.AJCI_ID DESC), 1);
    VENTAS = VALOR;
    BASE = VALOR * FACTOR;
    IVA = BASE * PORC_IVA / 100;
    TOTAL = BASE + IVA;
    ASIENTO = NEXT VALUE FOR GEN_ASIENTO;
    INSERT INTO ASIENTO (ASIE_ID, ASIE_LOTE, ASIE_FECHA, ASIE_PREFIJO, ASIE_PORC_IVA, ASIE_FACTOR,
                         ASIE_VENTAS, ASIE_BASE, ASIE_IVA, ASIE_TOTAL, ASIE_FACTURAS, ASIE_DESCRIPCION)
    VALUES (:ASIENTO, :LOTE, :FECHA, :PREFIJO, :PORC_IVA, :FACTOR, :VENTAS, :BASE, :IVA, :TOTAL,
            :FACTURAS,
            'Ventas de contado ' || :PREFIJO || ' del ' ||
            LPAD(EXTRACT(DAY FROM :FECHA), 2, '0') || '/' || LPAD(EXTRACT(MONTH FROM :FECHA), 2, '0') ||
            '/' || EXTRACT(YEAR FROM :FECHA) || ', IVA ' || CAST(:PORC_IVA AS NUMERIC(5,2)) || '%');
    INSERT INTO ASIENTO_DETALLE (ASDE_ID, ASDE_ASIENTO, ASDE_CUENTA, ASDE_DEBITO, ASDE_CREDITO)
    VALUES (NEXT VALUE FOR GEN_ASIENTO_DETALLE, :ASIENTO, '110505', :TOTAL, 0);
    INSERT INTO ASIENTO_DETALLE (ASDE_ID, ASDE_ASIENTO, ASDE_CUENTA, ASDE_DEBITO, ASDE_CREDITO)
    VALUES (NEXT VALUE FOR GEN_ASIENTO_DETALLE, :ASIENTO, '413505', 0, :BASE);
    IF (IVA <> 0) THEN
      INSERT INTO ASIENTO_DETALLE (ASDE_ID, ASDE_ASIENTO, ASDE_CUENTA, ASDE_DEBITO, ASDE_CREDITO)
      VALUES (NEXT VALUE FOR GEN_ASIENTO_DETALLE, :ASIENTO, '240801', 0, :IVA);
  END

  FOR SELECT ASIE_ID, ASIE_FECHA, ASIE_PREFIJO, ASIE_PORC_IVA, ASIE_FACTOR, ASIE_VENTAS, ASIE_BASE,
             ASIE_IVA, ASIE_TOTAL, ASIE_FACTURAS
        FROM ASIENTO WHERE ASIE_LOTE = :LOTE ORDER BY ASIE_ID
        INTO :ASIENTO, :FECHA, :PREFIJO_VENTA, :PORC_IVA, :FACTOR, :VENTAS, :BASE, :IVA, :TOTAL,
             :FACTURAS
  DO
    SUSPEND;
END^

SET TERM ; ^

COMMIT;
