select * from NM_PRTGE
where COD_EMPR = :COD_EMPR and
TIP_PARA = 'PF'
